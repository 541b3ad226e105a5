'use strict';
// What the browser tests share: the browsers, pages written through the
// page-fixture program, scene data functions in the exporter's own format,
// and reading back what the viewer drew.
const crypto = require('node:crypto');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync, spawn } = require('node:child_process');
const { chromium } = require('playwright-core');
const puppeteer = require('puppeteer-core');

const repo = path.join(__dirname, '..', '..');
const fixture = path.join(repo, 'build', 'tests', 'browser', 'page-fixture');
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

// --- Scene data, written as the exporter writes it -------------------------

const g = (x) => String(Number(x.toPrecision(6)));
const LARGEST = 3.4028235e38;

function newBox() {
  return { min: [LARGEST, LARGEST, LARGEST], max: [-LARGEST, -LARGEST, -LARGEST] };
}
function extend(box, p) {
  for (let a = 0; a < 3; a++) {
    box.min[a] = Math.min(box.min[a], p[a]);
    box.max[a] = Math.max(box.max[a], p[a]);
  }
}
function boxLine(box) {
  const [a, b, c] = box.min.map(g);
  const [d, e, f] = box.max.map(g);
  return `bbmin.x=${a};bbmin.y=${b};bbmin.z=${c};bbmax.x=${d};bbmax.y=${e};bbmax.z=${f};}\n`;
}

const sub = (a, b) => [a[0] - b[0], a[1] - b[1], a[2] - b[2]];
const cross = (a, b) => [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]];
const dot = (a, b) => a[0] * b[0] + a[1] * b[1] + a[2] * b[2];

// A quad as two triangles, wound counter-clockwise seen from the side its
// normal points to. corners: four points around the quad; uvs: optional
// texture coordinates of the corners.
function quad(corners, normal, uvs) {
  let idx = [0, 1, 2, 3];
  if (dot(cross(sub(corners[1], corners[0]), sub(corners[2], corners[0])), normal) < 0) idx = [0, 3, 2, 1];
  const vert = (i) => corners[i].concat(normal, uvs ? uvs[i] : []);
  return [[vert(idx[0]), vert(idx[1]), vert(idx[2])], [vert(idx[0]), vert(idx[2]), vert(idx[3])]];
}

// Materials: { dif, specular, refl, reflectivity, trans, refr, shine, mode, tex }.
function materialNumbers(m) {
  return [
    ...(m.dif || [0.5, 0.5, 0.5]), ...(m.specular || [0, 0, 0]), ...(m.refl || [0, 0, 0]),
    m.reflectivity || 0, m.trans || 0, m.refr || 1, m.shine || 0, m.mode || 0, m.tex === undefined ? -1 : m.tex,
  ];
}

let bufferCounter = 0;
let curveCounter = 0;

// buffers: [{ material, triangles, textured }]; returns the text and the box.
function initVB(buffers, materials) {
  const box = newBox();
  let text = 'function initVB(gl,posLoc,normLoc,texLoc,mi,buff,bl,mat,bbmin,bbmax){\n';
  for (const b of buffers) {
    const n = ++bufferCounter;
    text += `mi.push(${b.material});var v${n}=new Float32Array([`;
    for (const tri of b.triangles) {
      for (const vertex of tri) {
        extend(box, vertex);
        text += vertex.slice(0, b.textured ? 8 : 6).map(g).join(',') + ',';
      }
      text += '\n';
    }
    const stride = b.textured ? 32 : 24;
    text += `]);bl.push(${b.triangles.length});var b${n}=gl.createBuffer();buff.push(b${n});`;
    text += `gl.bindBuffer(gl.ARRAY_BUFFER,b${n});gl.bufferData(gl.ARRAY_BUFFER,v${n},gl.STATIC_DRAW);`;
    text += `gl.vertexAttribPointer(posLoc,3,gl.FLOAT,false,${stride},0);`;
    text += `gl.vertexAttribPointer(normLoc,3,gl.FLOAT,false,${stride},12);`;
    if (b.textured) text += 'gl.vertexAttribPointer(texLoc,2,gl.FLOAT,false,32,24);';
  }
  for (const m of materials) {
    const v = materialNumbers(m).map(g);
    text += `mat.push(${v.slice(0, 3).join(',')},${v.slice(3).join(',')});\n`;
  }
  return { text: text + boxLine(box), box };
}

function initTextures(count) {
  let text = 'function initTextures(textures){ ';
  for (let i = 0; i < count; i++) {
    text += `var t${i} = gl.createTexture(); textures.push(t${i});gl.bindTexture(gl.TEXTURE_2D, t${i});`;
    text += `gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, gl.RGBA, gl.UNSIGNED_BYTE, document.getElementById("tex${i + 1}"));`;
    text += 'gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.LINEAR);';
    text += 'gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR_MIPMAP_NEAREST);';
    text += 'gl.generateMipmap(gl.TEXTURE_2D);';
  }
  return text + '}\n';
}

// curves: [{ color, points }]; box: the box of the meshes, widened here.
function initCurves(curves, box) {
  let text = 'function initCurves(gl,CposLoc,cols,lbuff,lbl,bbmin,bbmax){\n';
  for (const c of curves) {
    const n = ++curveCounter;
    text += `cols.push(${c.color.map(g).join(',')});var v${n}=new Float32Array([`;
    for (const p of c.points) {
      extend(box, p);
      text += p.map(g).join(',') + ',';
    }
    text += `]);lbl.push(${c.points.length});var b${n}=gl.createBuffer();lbuff.push(b${n});`;
    text += `gl.bindBuffer(gl.ARRAY_BUFFER,b${n});gl.bufferData(gl.ARRAY_BUFFER,v${n},gl.STATIC_DRAW);`;
    text += 'gl.vertexAttribPointer(CposLoc,3,gl.FLOAT,false,12,0);\n';
  }
  return text + boxLine(box);
}

function initDots(points) {
  return 'function initDots(dtpts){\n' + points.map((p) => `dtpts.push(${p.map(g).join(',')});`).join('') + '};';
}

function initView(eye, target, vx, vy, angle) {
  return 'function initView(veye,vtar,vx,vy){ '
    + `veye.x=${g(eye[0])};veye.y=${g(eye[1])};veye.z=${g(eye[2])};`
    + `vtar.x=${g(target[0])};vtar.y=${g(target[1])};vtar.z=${g(target[2])};`
    + `vx.x=${g(vx[0])};vx.y=${g(vx[1])};vx.z=${g(vx[2])};vy.x=${g(vy[0])};vy.y=${g(vy[1])};vy.z=${g(vy[2])};`
    + `return ${g(angle)}};`;
}

function initBack(tl, bl, tr, br) {
  const c = (name, v) => `${name}.x=${g(v[0])};${name}.y=${g(v[1])};${name}.z=${g(v[2])};`;
  return 'function initBack(tlc,blc,trc,brc){' + c('tlc', tl) + c('blc', bl) + c('trc', tr) + c('brc', br) + '};';
}

// The whole data text in page order.
function sceneData({ buffers = [], materials = [], textureCount = 0, curves = [], dots = [], view, back }) {
  const vb = initVB(buffers, materials);
  return vb.text + initTextures(textureCount) + initCurves(curves, vb.box) + initDots(dots)
    + initView(...view) + initBack(...back) + '\n';
}

// --- Pages -------------------------------------------------------------------

// Writes a page through the page writer; returns its file:// URL.
// options: { data, textures: [file], preview: file, dots: [{ point, rgb, text }], title, notes }
function writePage(name, options) {
  const dir = ensureArtifacts();
  const dataFile = path.join(dir, `${name}.data.js`);
  const out = path.join(dir, `${name}.html`);
  fs.writeFileSync(dataFile, options.data);
  const args = ['--out', out, '--data', dataFile];
  for (const t of options.textures || []) args.push('--texture', t);
  if (options.preview) args.push('--preview', options.preview);
  for (const d of options.dots || []) args.push('--dot', [...d.point, ...d.rgb, d.text].join(','));
  if (options.title) args.push('--title', options.title);
  if (options.notes) args.push('--notes', options.notes);
  execFileSync(fixture, args, { stdio: 'pipe' });
  return 'file://' + out;
}

// Opens a page and collects every console error and uncaught page error;
// browser is a playwright Chromium or a puppeteer Firefox.
async function openPage(browser, url, { width = 1000, height = 700 } = {}) {
  const byPuppeteer = typeof browser.createBrowserContext === 'function';
  const page = await browser.newPage(byPuppeteer ? undefined : { viewport: { width, height }, deviceScaleFactor: 1 });
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

const near = (a, b, tolerance) => a.every((v, i) => Math.abs(v - b[i]) <= tolerance);

module.exports = {
  launchBrowser, launchFirefox, writePage, openPage, saveScreenshot, makePicture, drawAndRead, drawAndHash, projectPoint,
  canvasPixels, differingShare,
  sceneData, quad, near, artifacts: ensureArtifacts, tmpdir: () => fs.mkdtempSync(path.join(os.tmpdir(), 'zem-')),
};
