'use strict';
// Compact pages against standard pages of the same model: initVB run with a
// recording stand-in of WebGL must build the same buffers (values within
// the quantisation bounds, same counts, materials and box) and the rest of
// the page must be the same; a page whose data cannot be decoded falls back
// to its preview. Firefox's test draws the compact demo beside Chromium's.
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const h = require('./helpers');

const POSITION_BOUND = 1 / 65535;
const NORMAL_BOUND_DEG = 0.5;
const G_RELATIVE = 5e-6; // the standard page's own rounding: six significant digits
const folders = [];
const tmpdir = () => { folders.push(h.tmpdir()); return folders[folders.length - 1]; };

function exportPair(name, args) {
  const dir = tmpdir();
  const standard = path.join(dir, `${name}.html`);
  const compact = path.join(dir, `${name}-compact.html`);
  execFileSync(h.zem, [...args, '-o', standard, '--quiet'], { env: h.exportEnv });
  execFileSync(h.zem, [...args, '-o', compact, '--quiet', '--compact'], { env: h.exportEnv });
  return { standard, compact };
}

const initVBText = (html) => html.slice(html.indexOf('function initVB('), html.indexOf('function initTextures('));

// Runs a page's initVB against a stand-in of WebGL that keeps a copy of
// every buffer's data and layout (its stride and where each attribute starts,
// in floats, by location: 0 position, 1 normal, 2 texture coordinate).
function runInitVB(html) {
  const gl = {
    ARRAY_BUFFER: 1, FLOAT: 2, STATIC_DRAW: 3, bound: null,
    createBuffer: () => ({}),
    bindBuffer(target, b) { this.bound = b; },
    bufferData(target, data) { this.bound.data = Float32Array.from(data); },
    vertexAttribPointer(loc, size, type, norm, stride, offset) {
      this.bound.stride = stride;
      (this.bound.at = this.bound.at || [])[loc] = offset / 4;
    },
  };
  const scope = { shaderErr: 0, errorText: null };
  const initVB = new Function('scope', `with (scope) { ${initVBText(html)}; return initVB; }`)(scope);
  const out = { mi: [], buff: [], bl: [], mat: [], bbmin: {}, bbmax: {} };
  initVB(gl, 0, 1, 2, out.mi, out.buff, out.bl, out.mat, out.bbmin, out.bbmax);
  out.shaderErr = scope.shaderErr;
  return out;
}

const angleDeg = (a, b) =>
  Math.acos(Math.min(1, (a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) / Math.hypot(...a) / Math.hypot(...b))) * 180 / Math.PI;

// Compares the buffers of the two pages; answers the largest errors seen.
function compareBuffers(standard, compact) {
  assert.equal(compact.shaderErr, 0, 'the compact data decodes');
  assert.deepEqual(compact.mi, standard.mi, 'material numbers');
  assert.deepEqual(compact.bl, standard.bl, 'triangle counts');
  assert.deepEqual(compact.mat, standard.mat, 'materials');
  assert.deepEqual(compact.bbmin, standard.bbmin, 'box');
  assert.deepEqual(compact.bbmax, standard.bbmax, 'box');
  const extent = ['x', 'y', 'z'].map((a) => standard.bbmax[a] - standard.bbmin[a]);
  const worst = { position: 0, normal: 0, texture: 0 };
  standard.buff.forEach((s, i) => {
    const c = compact.buff[i];
    assert.equal(c.stride, s.stride, `layout of buffer ${i}`);
    assert.deepEqual(c.at, s.at, `attributes of buffer ${i}`);
    assert.equal(c.data.length, s.data.length, `length of buffer ${i}`);
    const st = s.stride / 4;
    const [p, n, tex] = s.at;
    for (let k = 0; k < s.data.length; k += st) {
      for (let a = 0; a < 3; a++) {
        const d = Math.abs(c.data[k + p + a] - s.data[k + p + a]);
        const allowed = extent[a] * POSITION_BOUND + Math.abs(s.data[k + p + a]) * G_RELATIVE;
        if (!(d <= allowed))
          assert.fail(`buffer ${i} vertex ${k / st} axis ${a}: ${c.data[k + p + a]} vs ${s.data[k + p + a]}`);
        worst.position = Math.max(worst.position, d / extent[a]);
      }
      const deg = angleDeg(c.data.subarray(k + n, k + n + 3), s.data.subarray(k + n, k + n + 3));
      if (!(deg <= NORMAL_BOUND_DEG + 0.001)) assert.fail(`buffer ${i} vertex ${k / st} normal off by ${deg} degrees`);
      worst.normal = Math.max(worst.normal, deg);
      for (let t = k + tex; tex !== undefined && t < k + tex + 2; t++) {
        const d = Math.abs(c.data[t] - s.data[t]);
        assert.ok(d <= Math.abs(s.data[t]) * G_RELATIVE + 1e-9, `buffer ${i} texture coordinate`);
        worst.texture = Math.max(worst.texture, d);
      }
    }
  });
  return worst;
}

// A wavy grid of n x n quads with its own texture, its last row of faces
// stored first, so the last buffer reaches across the whole vertex list;
// normals in random directions; an empty mesh and a quadrangle beside it.
function writeGridModel(dir, n, texture) {
  let seed = 7;
  const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
  const [vertices, normals, uvs] = [[], [], []];
  for (let i = 0; i <= n; i++) {
    for (let j = 0; j <= n; j++) {
      const x = i / n * 10 - 5;
      const y = j / n * 10 - 5;
      vertices.push([x, y, Math.sin(x) * Math.cos(y)]);
      normals.push([random() - 0.5, random() - 0.5, random() - 0.5]);
      uvs.push([i / n, j / n]);
    }
  }
  const row = (i) => Array.from({ length: n }, (_, j) => [i * (n + 1) + j, (i + 1) * (n + 1) + j,
    (i + 1) * (n + 1) + j + 1, i * (n + 1) + j + 1]);
  const faces = [];
  faces.push(...row(n - 1));
  for (let i = 0; i < n - 1; i++) faces.push(...row(i));
  const doc = {
    format: 'zem-document', title: 'Grid',
    materials: [{ diffuse: '#ffffff', textures: [{ file: texture }] }, { diffuse: '#c04020' }],
    objects: [
      { type: 'mesh', material: 0, mesh: { vertices, faces, normals, uvs } },
      { type: 'mesh', material: 1, mesh: { vertices: [[0, 0, 0], [1, 0, 0], [0, 1, 0]], faces: [] } },
      { type: 'mesh', material: 1, mesh: { vertices: [[6, 0, 0], [7, 0, 0], [7, 1, 1], [6, 1, 1]], faces: [[0, 1, 2, 3]] } },
    ],
  };
  const file = path.join(dir, 'grid.json');
  fs.writeFileSync(file, JSON.stringify(doc));
  return file;
}

test.describe('compact pages', () => {
  let browser;
  let demo;
  let grid;

  test.before(async () => {
    browser = await h.launchBrowser();
    demo = exportPair('demo', ['demo']);
    const dir = tmpdir();
    await h.makePicture(browser, path.join(dir, 'checker.png'),
      '<div style="width:64px;height:64px;background:repeating-conic-gradient(#2050d0 0 25%,#f0e040 0 50%) 0 0/16px 16px"></div>', 64, 64);
    grid = exportPair('grid', ['export', writeGridModel(dir, 260, 'checker.png')]);
  });
  test.after(async () => {
    if (browser) await browser.close();
    for (const f of folders) fs.rmSync(f, { recursive: true, force: true });
  });

  test.it('hold the same pieces as the standard page apart from the mesh data', () => {
    for (const pair of [demo, grid]) {
      const s = fs.readFileSync(pair.standard, 'latin1');
      const c = fs.readFileSync(pair.compact, 'latin1');
      assert.equal(c.replace(initVBText(c), ''), s.replace(initVBText(s), ''));
      assert.ok(!/new Float32Array\(\[/.test(initVBText(c)), 'no number literals in the compact mesh data');
    }
  });

  test.it('build the standard buffers within the bounds, for the demo and a textured grid', (t) => {
    const worstDemo = compareBuffers(runInitVB(fs.readFileSync(demo.standard, 'latin1')),
      runInitVB(fs.readFileSync(demo.compact, 'latin1')));
    const gridStandard = runInitVB(fs.readFileSync(grid.standard, 'latin1'));
    const gridCompact = runInitVB(fs.readFileSync(grid.compact, 'latin1'));
    const worstGrid = compareBuffers(gridStandard, gridCompact);
    // The grid's 68,121 vertices need 32-bit indices in its last buffer
    // (the empty mesh and the quadrangle are in the comparison above).
    assert.match(fs.readFileSync(grid.compact, 'latin1'), /\[(\d+,\d+,[01],)*\d+,0,1(,\d+,\d+,[01])*\]/);
    t.diagnostic(`largest errors: demo ${JSON.stringify(worstDemo)}, grid ${JSON.stringify(worstGrid)}`);
  });

  test.it('fall back to the preview picture and the error text when the data cannot be decoded', async () => {
    const html = fs.readFileSync(demo.compact, 'latin1');
    const broken = path.join(tmpdir(), 'broken.html');
    // One base64 group less: the block is shorter than its header says.
    fs.writeFileSync(broken, html.replace(/(zemMesh\(gl,[^"]*")([A-Za-z0-9+/]{4})/, '$1'), 'latin1');
    const { page, errors } = await h.openPage(browser, 'file://' + broken);
    assert.deepEqual(errors, []);
    const state = await page.evaluate(() => ({
      usePreview,
      preview: getComputedStyle(document.getElementById('GLPreview')).display,
      error: getComputedStyle(document.getElementById('ErrorText')).display,
    }));
    assert.deepEqual(state, { usePreview: 1, preview: 'block', error: 'block' });
    await page.close();
  });
});
