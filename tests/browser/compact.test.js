'use strict';
// Compact pages against standard pages of the same model: initVB run with a
// recording stand-in of WebGL must build the same buffers (values within
// the quantisation bounds, same counts, materials and box), the rest of the
// page must be the same and Chromium must draw the same picture; a page
// whose data is damaged falls back to its preview. Firefox's test draws the
// compact pages beside the standard ones.
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const h = require('./helpers');

const POSITION_BOUND = 1 / 65535;
const NORMAL_BOUND_DEG = 0.5;
const TEXTURE_BOUND = 1 / 4096;
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
// Each compact buffer holds the standard buffer's triangles, each with its
// winding, in an order of its own and maybe from another corner: every
// compact triangle is matched to the standard triangle nearest to it (by
// its centre, among those not matched yet) at the turn that fits best, and
// compared corner by corner.
function compareBuffers(standard, compact) {
  assert.equal(compact.shaderErr, 0, 'the compact data decodes');
  assert.deepEqual(compact.mi, standard.mi, 'material numbers');
  assert.deepEqual(compact.bl, standard.bl, 'triangle counts');
  assert.deepEqual(compact.mat, standard.mat, 'materials');
  assert.deepEqual(compact.bbmin, standard.bbmin, 'box');
  assert.deepEqual(compact.bbmax, standard.bbmax, 'box');
  const extent = ['x', 'y', 'z'].map((a) => standard.bbmax[a] - standard.bbmin[a]);
  const cell = extent.map((e) => Math.max(e / 256, 1e-6));
  const worst = { position: 0, normal: 0, texture: 0 };
  standard.buff.forEach((s, i) => {
    const c = compact.buff[i];
    assert.equal(c.stride, s.stride, `layout of buffer ${i}`);
    assert.deepEqual(c.at, s.at, `attributes of buffer ${i}`);
    assert.equal(c.data.length, s.data.length, `length of buffer ${i}`);
    const st = s.stride / 4;
    const [p, n, tex] = s.at;
    const centre = (d, t) => [0, 1, 2].map((a) => (d[t + p + a] + d[t + st + p + a] + d[t + 2 * st + p + a]) / 3);
    const key = (x) => x.map((v, a) => Math.floor(v / cell[a]));
    const cells = new Map();
    for (let t = 0; t < s.data.length; t += 3 * st) {
      const k = key(centre(s.data, t)).join();
      if (!cells.has(k)) cells.set(k, []);
      cells.get(k).push(t);
    }
    const used = new Set();
    for (let u = 0; u < c.data.length; u += 3 * st) {
      const [kx, ky, kz] = key(centre(c.data, u));
      let best = null;
      for (let dx = -1; dx <= 1; dx++) for (let dy = -1; dy <= 1; dy++) for (let dz = -1; dz <= 1; dz++) {
        for (const t of cells.get([kx + dx, ky + dy, kz + dz].join()) || []) {
          if (used.has(t)) continue;
          for (let turn = 0; turn < 3; turn++) {
            let e = 0;
            for (let corner = 0; corner < 3; corner++) {
              for (let a = 0; a < 3; a++) {
                e = Math.max(e, Math.abs(c.data[u + ((corner + turn) % 3) * st + p + a] - s.data[t + corner * st + p + a]));
              }
            }
            if (!best || e < best.e) best = { t, turn, e };
          }
        }
      }
      if (!best) assert.fail(`buffer ${i}: compact triangle ${u / 3 / st} has no standard triangle near it`);
      used.add(best.t);
      for (let corner = 0; corner < 3; corner++) {
        const k = best.t + corner * st;
        const m = u + ((corner + best.turn) % 3) * st;
        for (let a = 0; a < 3; a++) {
          const d = Math.abs(c.data[m + p + a] - s.data[k + p + a]);
          const allowed = extent[a] * POSITION_BOUND + Math.abs(s.data[k + p + a]) * G_RELATIVE;
          if (!(d <= allowed)) assert.fail(`buffer ${i} triangle ${u / 3 / st} axis ${a}: ${c.data[m + p + a]} vs ${s.data[k + p + a]}`);
          worst.position = Math.max(worst.position, d / extent[a]);
        }
        const deg = angleDeg(c.data.subarray(m + n, m + n + 3), s.data.subarray(k + n, k + n + 3));
        if (!(deg <= NORMAL_BOUND_DEG + 0.001)) assert.fail(`buffer ${i} triangle ${u / 3 / st} normal off by ${deg} degrees`);
        worst.normal = Math.max(worst.normal, deg);
        for (let a = 0; tex !== undefined && a < 2; a++) {
          const d = Math.abs(c.data[m + tex + a] - s.data[k + tex + a]);
          if (!(d <= TEXTURE_BOUND + Math.abs(s.data[k + tex + a]) * G_RELATIVE)) assert.fail(`buffer ${i} texture coordinate off by ${d}`);
          worst.texture = Math.max(worst.texture, d);
        }
      }
    }
  });
  return worst;
}

// The stored block of the largest mesh of a page: where its base64 starts
// in the page, its length, and its sections' lengths in bytes.
function largestBlock(html) {
  let found = null;
  for (const m of html.matchAll(/zemMesh\(gl,[^"]*,\[(\d+),(\d+),(\d+),(\d+)\],\d+,"([^"]*)"/g)) {
    if (!found || m[5].length > found.length) {
      found = { at: m.index + m[0].length - m[5].length - 1, length: m[5].length, sections: m.slice(1, 5).map(Number) };
    }
  }
  return found;
}

// The page with byte `byte` of a block changed: one bit flipped of the
// base64 character that holds the byte's top bits.
function withByteChanged(html, block, byte) {
  const alphabet = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
  const at = block.at + Math.floor(byte / 3) * 4 + (byte % 3);
  return html.slice(0, at) + alphabet[alphabet.indexOf(html[at]) ^ 1] + html.slice(at + 1);
}

test.describe('compact pages', () => {
  let browser;
  let demo;
  let grid;

  test.before(async () => {
    browser = await h.launchBrowser();
    demo = exportPair('demo', ['demo']);
    grid = exportPair('grid', ['export', await h.writeTexturedGrid(browser, tmpdir())]);
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

  test.it('build the standard buffers within the bounds, for the demo and a textured grid of 68,121 vertices', (t) => {
    const worstDemo = compareBuffers(runInitVB(fs.readFileSync(demo.standard, 'latin1')),
      runInitVB(fs.readFileSync(demo.compact, 'latin1')));
    const worstGrid = compareBuffers(runInitVB(fs.readFileSync(grid.standard, 'latin1')),
      runInitVB(fs.readFileSync(grid.compact, 'latin1')));
    t.diagnostic(`largest errors: demo ${JSON.stringify(worstDemo)}, grid ${JSON.stringify(worstGrid)}`);
  });

  test.it('draw the picture the standard page draws', async (t) => {
    for (const [name, pair] of Object.entries({ demo, grid })) {
      const s = await h.openPage(browser, 'file://' + pair.standard);
      const c = await h.openPage(browser, 'file://' + pair.compact);
      assert.deepEqual([s.errors, c.errors], [[], []], name);
      const share = h.differingShare(await h.canvasPixels(s.page), await h.canvasPixels(c.page));
      t.diagnostic(`${name}: ${(share * 100).toFixed(3)}% of the pixels differ`);
      assert.ok(share < 0.002, `${name}: ${(share * 100).toFixed(3)}% of the pixels differ`);
      await Promise.all([s.page.close(), c.page.close()]);
    }
  });

  // meshoptimizer's decoders find only some damage; the checksum finds the
  // rest, in every section of the block.
  test.it('fall back to the preview picture and the error text when a block is damaged or cut short', async () => {
    const html = fs.readFileSync(demo.compact, 'latin1');
    const block = largestBlock(html);
    const ends = block.sections.reduce((e, n) => e.concat(e[e.length - 1] + n), [0]);
    const bytes = [0, ends[4] - 1];
    for (let k = 0; k < 4; k++) if (block.sections[k] > 0) bytes.push(Math.floor((ends[k] + ends[k + 1]) / 2));
    const damaged = bytes.map((b) => [`byte ${b} changed`, withByteChanged(html, block, b)]);
    damaged.push(['one base64 group less', html.slice(0, block.at) + html.slice(block.at + 4)]);
    damaged.push(['cut short', html.slice(0, block.at + block.length - 8) + html.slice(block.at + block.length)]);
    for (const [what, page] of damaged) {
      assert.notEqual(page, html, what);
      assert.equal(runInitVB(page).shaderErr, 1, what);
    }
    for (const [what, page] of [damaged[2], damaged[damaged.length - 1]]) {
      const file = path.join(tmpdir(), 'damaged.html');
      fs.writeFileSync(file, page, 'latin1');
      const { page: opened, errors } = await h.openPage(browser, 'file://' + file);
      assert.deepEqual(errors, [], what);
      const state = await opened.evaluate(() => ({
        usePreview,
        preview: getComputedStyle(document.getElementById('GLPreview')).display,
        error: getComputedStyle(document.getElementById('ErrorText')).display,
        text: document.getElementById('ErrorText').textContent,
      }));
      assert.deepEqual(state, { usePreview: 1, preview: 'block', error: 'block',
        text: 'The model data of this page could not be decoded.' }, what);
      await opened.close();
    }
  });
});
