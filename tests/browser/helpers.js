'use strict';
// What the browser tests share: the browsers, scenes written as documents
// and exported by zem-webgl, and reading back what the viewer drew.
const crypto = require('node:crypto');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync, spawn } = require('node:child_process');
const { chromium } = require('playwright-core');
const puppeteer = require('puppeteer-core');

const repo = path.join(__dirname, '..', '..');
const artifacts = path.join(repo, 'build', 'test-artifacts', 'browser');
const chromiumPath = process.env.ZEM_CHROMIUM || '/usr/bin/chromium';
const firefoxPath = process.env.ZEM_FIREFOX || '/usr/bin/firefox-esr';

const BASE_ARGS = ['--headless', '--no-sandbox', '--disable-background-networking', '--disable-component-update',
  '--disable-sync', '--no-first-run', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'];

// playwright gives every launch a fresh user-data directory of its own.
async function launchBrowser(extraArgs = []) {
  return chromium.launch({ executablePath: chromiumPath, args: BASE_ARGS.concat(extraArgs) });
}

// A virtual X display of its own: Firefox finds no GL driver when headless,
// but draws WebGL through Mesa on an X display.
async function startXvfb() {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  try {
    const display = await new Promise((resolve, reject) => {
      let out = '';
      xvfb.stdio[3].on('data', (d) => { out += d; if (out.includes('\n')) resolve(':' + out.trim()); });
      xvfb.on('error', reject);
      xvfb.on('exit', (code) => reject(new Error(`Xvfb stopped at start (exit code ${code})`)));
    });
    // Also when the test run ends without closing the browser.
    const stop = () => xvfb.kill();
    process.once('exit', stop);
    return { display, stop };
  } catch (e) {
    xvfb.kill();
    throw e;
  }
}

// Debian's Firefox driven over WebDriver BiDi, with a fresh profile of its
// own; closing the browser stops its display.
async function launchFirefox() {
  const x = await startXvfb();
  try {
    const browser = await puppeteer.launch({
      browser: 'firefox', executablePath: firefoxPath, headless: false,
      env: { ...process.env, DISPLAY: x.display, MOZ_ENABLE_WAYLAND: '0', WAYLAND_DISPLAY: '' },
    });
    browser.once('disconnected', x.stop);
    return browser;
  } catch (e) {
    x.stop();
    throw e;
  }
}

function ensureArtifacts() {
  fs.mkdirSync(artifacts, { recursive: true });
  return artifacts;
}

// --- Scenes, exported by the real program ---------------------------------

const zem = path.join(repo, 'build', 'app', 'zem-webgl');
// A fixed page date, so that two exports of one document are the same bytes.
const exportEnv = { ...process.env, SOURCE_DATE_EPOCH: '1700000000' };

const sub = (a, b) => [a[0] - b[0], a[1] - b[1], a[2] - b[2]];
const cross = (a, b) => [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]];
const dot = (a, b) => a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
const hex = (rgb) => '#' + rgb.map((v) => v.toString(16).padStart(2, '0')).join('');

// A mesh object of flat quads, each { corners: four points around it, normal,
// uvs (optional, one per corner) }, wound counter-clockwise seen from the
// side its normal points to; each quad has corners of its own, so that no
// normal is shared across an edge.
function quadMesh(quads, extra = {}) {
  const mesh = { vertices: [], faces: [], normals: [] };
  if (quads.some((q) => q.uvs)) mesh.uvs = [];
  for (const q of quads) {
    const c = q.corners;
    const order = dot(cross(sub(c[1], c[0]), sub(c[2], c[0])), q.normal) < 0 ? [0, 3, 2, 1] : [0, 1, 2, 3];
    mesh.faces.push(order.map((k) => mesh.vertices.length + k));
    mesh.vertices.push(...c);
    mesh.normals.push(q.normal, q.normal, q.normal, q.normal);
    if (mesh.uvs) mesh.uvs.push(...(q.uvs || [[0, 0], [0, 0], [0, 0], [0, 0]]));
  }
  return { type: 'mesh', mesh, ...extra };
}

// A document whose active view looks from eye to target (z up) through a
// 35 mm lens of the given length, over a four-colour background (corner
// colours as bytes), in a display mode that shows the objects' own materials.
function sceneDocument({ materials = [], objects = [], eye, target, lens, back, title = 'Scene', notes = '' }) {
  const [topLeft, bottomLeft, topRight, bottomRight] = back.map(hex);
  return {
    format: 'zem-document', title, notes, materials, objects,
    displayModes: [{ name: 'Test', base: 'Rendered', background: { fill: 'gradient4', topLeft, bottomLeft, topRight, bottomRight } }],
    views: [{ name: 'Test', displayMode: 'Test', lens, camera: { location: eye, target, up: [0, 0, 1] } }],
  };
}

// Exports a document through `zem-webgl export` into the artifacts folder;
// returns the page's file name.
function exportPage(name, document, args = []) {
  const dir = ensureArtifacts();
  const model = path.join(dir, `${name}.json`);
  const out = path.join(dir, `${name}.html`);
  fs.writeFileSync(model, JSON.stringify(document));
  execFileSync(zem, ['export', model, '-o', out, '--quiet', ...args], { env: exportEnv, stdio: 'pipe' });
  return out;
}

// A copy of a page with its text changed, for pages the exporter never
// writes; returns its file:// URL.
function editedPage(file, name, edit) {
  const html = fs.readFileSync(file, 'latin1');
  const changed = edit(html);
  if (changed === html) throw new Error(`the edit of ${name} changed nothing`);
  const out = path.join(ensureArtifacts(), `${name}.html`);
  fs.writeFileSync(out, changed, 'latin1');
  return 'file://' + out;
}

// Opens a page and collects every console error and uncaught page error;
// browser is a playwright Chromium (device: its page options, such as
// isMobile) or a puppeteer Firefox.
async function openPage(browser, url, { width = 1000, height = 700, ...device } = {}) {
  const byPuppeteer = typeof browser.createBrowserContext === 'function';
  const page = await browser.newPage(byPuppeteer ? undefined : { viewport: { width, height }, deviceScaleFactor: 1, ...device });
  if (byPuppeteer) await page.setViewport({ width, height, deviceScaleFactor: 1 });
  const errors = [];
  page.on('console', (msg) => { if (msg.type() === 'error') errors.push(`console: ${msg.text()}`); });
  page.on('pageerror', (err) => errors.push(`page error: ${err.message}`));
  await page.goto(url, { waitUntil: 'load' });
  const started = () => usePreview === 1 || (typeof gl === 'object' && gl !== null && needsUpdate === 0);
  if (byPuppeteer) await page.waitForFunction(started, { timeout: 15000 });
  else await page.waitForFunction(started, null, { timeout: 15000 });
  return { page, errors };
}

async function saveScreenshot(page, name) {
  const file = path.join(ensureArtifacts(), `${name}.png`);
  await page.screenshot({ path: file });
  return file;
}

// Writes a picture made by the browser itself: a page of the given HTML,
// captured at width x height as PNG or JPEG.
async function makePicture(browser, file, html, width, height) {
  const page = await browser.newPage({ viewport: { width, height }, deviceScaleFactor: 1 });
  await page.setContent(`<body style="margin:0">${html}</body>`);
  const type = file.endsWith('.png') ? 'png' : 'jpeg';
  await page.screenshot({ path: file, type, clip: { x: 0, y: 0, width, height }, ...(type === 'jpeg' ? { quality: 95 } : {}) });
  await page.close();
  return file;
}

// Runs one frame of drawing now and reads canvas pixels back before the
// browser presents it. points: [[x, y]] in canvas pixels, y down.
async function drawAndRead(page, points) {
  return page.evaluate((pts) => {
    needsUpdate = 1;
    doRepaint();
    const px = new Uint8Array(4);
    return pts.map(([x, y]) => {
      gl.readPixels(Math.round(x), vH - 1 - Math.round(y), 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, px);
      return [px[0], px[1], px[2], px[3]];
    });
  }, points);
}

// The canvas as drawn by one frame, as RGBA bytes: from the current camera,
// or from the page's own (the turntable stopped and turned back).
async function readCanvas(page, fromStart) {
  const b64 = await page.evaluate((reset) => {
    if (reset) {
      animate = 0;
      initView(veye, vtar, vx, vy);
    }
    needsUpdate = 1;
    doRepaint();
    const px = new Uint8Array(vW * vH * 4);
    gl.readPixels(0, 0, vW, vH, gl.RGBA, gl.UNSIGNED_BYTE, px);
    let s = '';
    for (let i = 0; i < px.length; i += 8192) s += String.fromCharCode.apply(null, px.subarray(i, i + 8192));
    return btoa(s);
  }, fromStart);
  return Buffer.from(b64, 'base64');
}
const canvasPixels = (page) => readCanvas(page, true);
// A fingerprint of the whole drawn canvas, to tell frames apart.
const drawAndHash = async (page) => crypto.createHash('sha1').update(await readCanvas(page, false)).digest('hex');

// Share of pixels whose colour differs by more than a few levels.
function differingShare(a, b) {
  if (a.length !== b.length) throw new Error(`pictures of ${a.length} and ${b.length} bytes`);
  let differing = 0;
  for (let i = 0; i < a.length; i += 4) {
    if (Math.max(Math.abs(a[i] - b[i]), Math.abs(a[i + 1] - b[i + 1]), Math.abs(a[i + 2] - b[i + 2])) > 24) differing++;
  }
  return differing / (a.length / 4);
}

// Canvas position of a scene point through the viewer's current matrices.
async function projectPoint(page, p) {
  return page.evaluate(([x, y, z]) => {
    const m = mvMatrix;
    const q = prMatrix;
    const t = [0, 1, 2, 3].map((k) => m[`m0${k}`] * x + m[`m1${k}`] * y + m[`m2${k}`] * z + m[`m3${k}`]);
    const r = [0, 1, 3].map((k) => q[`m0${k}`] * t[0] + q[`m1${k}`] * t[1] + q[`m2${k}`] * t[2] + q[`m3${k}`] * t[3]);
    return [(r[0] / r[2] + 1) / 2 * vW, (1 - r[1] / r[2]) / 2 * vH];
  }, p);
}

// A wavy grid of n x n quads with its own texture, its last row of faces
// stored first, so the last buffer reaches across the whole vertex list;
// normals in random directions; an empty mesh and a quadrangle beside it.
// Writes the document into dir; returns its file name.
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

// The grid above (260 x 260 quads: 68,121 vertices) with a checker texture
// drawn by the browser, in dir.
async function writeTexturedGrid(browser, dir) {
  await makePicture(browser, path.join(dir, 'checker.png'),
    '<div style="width:64px;height:64px;background:repeating-conic-gradient(#2050d0 0 25%,#f0e040 0 50%) 0 0/16px 16px"></div>', 64, 64);
  return writeGridModel(dir, 260, 'checker.png');
}

const near = (a, b, tolerance) => a.every((v, i) => Math.abs(v - b[i]) <= tolerance);

module.exports = {
  launchBrowser, launchFirefox, openPage, saveScreenshot, makePicture, drawAndRead, drawAndHash, projectPoint,
  canvasPixels, differingShare, writeTexturedGrid, zem, exportEnv, quadMesh, sceneDocument, exportPage, editedPage, hex, near, artifacts: ensureArtifacts, tmpdir: () => fs.mkdtempSync(path.join(os.tmpdir(), 'zem-')),
};
