'use strict';
// The viewer in a real browser: scenes written as documents and exported by
// zem-webgl, opened from disk in headless Chromium (WebGL on SwiftShader),
// driven with the mouse the way a person would.
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const h = require('./helpers');

const { describe, before, after } = test;
const it = test.test;

let browser;
let mainFile;
let mainUrl;

// Colours as bytes, as the document holds them.
const GREEN = [26, 204, 26];
const BLUE = [26, 26, 230];
const TL = [204, 26, 26];
const BL = [26, 153, 26];
const TR = [26, 26, 204];
const BR = [179, 179, 26];
const YELLOW = [255, 255, 0];

// A box from -1 to 1 whose front face (y = -1, towards the eye) is
// transparent blue and comes first in the document, the other faces opaque
// green; a quad at x 3..5 textured red above, blue below; a yellow curve at
// x -5..-3; labels at the front face's centre, on the red half of the quad,
// far off to the side, and behind the eye. The eye looks at the origin from
// -y. No material has a shine, so none has a highlight: a face turned to
// the eye shows its diffuse colour as it is.
function mainDocument(texture) {
  const P = (x, y, z) => [x, y, z];
  const face = (corners, normal) => ({ corners, normal });
  return h.sceneDocument({
    title: 'Browser test', notes: 'Notes of the test page.\nSecond line.',
    materials: [
      { diffuse: h.hex(GREEN) },
      { diffuse: h.hex(BLUE), transparency: 0.5 },
      { diffuse: '#ffffff', textures: [{ file: texture, mode: 'modulate' }] },
    ],
    objects: [
      h.quadMesh([face([P(-1, -1, -1), P(1, -1, -1), P(1, -1, 1), P(-1, -1, 1)], [0, -1, 0])], { material: 1 }),
      h.quadMesh([
        face([P(-1, 1, -1), P(1, 1, -1), P(1, 1, 1), P(-1, 1, 1)], [0, 1, 0]),
        face([P(1, -1, -1), P(1, 1, -1), P(1, 1, 1), P(1, -1, 1)], [1, 0, 0]),
        face([P(-1, -1, -1), P(-1, 1, -1), P(-1, 1, 1), P(-1, -1, 1)], [-1, 0, 0]),
        face([P(-1, -1, 1), P(1, -1, 1), P(1, 1, 1), P(-1, 1, 1)], [0, 0, 1]),
        face([P(-1, -1, -1), P(1, -1, -1), P(1, 1, -1), P(-1, 1, -1)], [0, 0, -1]),
      ], { material: 0 }),
      h.quadMesh([{ corners: [P(3, 0, -1), P(5, 0, -1), P(5, 0, 1), P(3, 0, 1)], normal: [0, -1, 0],
        uvs: [[0, 0], [1, 0], [1, 1], [0, 1]] }], { material: 2 }),
      { type: 'curve', color: h.hex(YELLOW), curve: { kind: 'polyline', points: [[-5, 0, -1], [-3, 0, 1], [-5, 0, 1]] } },
      { type: 'textDot', point: [0, -1, 0], text: 'front' },
      { type: 'textDot', point: [4, 0, 0.5], text: 'red half' },
      { type: 'textDot', point: [60, 0, 0], text: 'off to the side' },
      { type: 'textDot', point: [0, -30, 0], text: 'behind the eye' },
    ],
    eye: [0, -15, 0], target: [0, 0, 0], lens: 33, back: [TL, BL, TR, BR],
  });
}

// The exporter always renders a preview picture; a page without one (as an
// export whose preview could not be rendered writes it) has its element cut out.
const withoutPreview = (file, name) =>
  h.editedPage(file, name, (html) => html.replace(/<div id="GLPreview"[^\n]*\n/, ''));

const state = (page) => page.evaluate(() => ({
  animate, scal, fade, usePreview,
  eye: [veye.x, veye.y, veye.z], tar: [vtar.x, vtar.y, vtar.z], bc: [bc.x, bc.y, bc.z],
}));
const distance = (s) => Math.hypot(s.eye[0] - s.bc[0], s.eye[1] - s.bc[1], s.eye[2] - s.bc[2]);
const shown = (page, id) => page.evaluate((i) => {
  const e = document.getElementById(i);
  return !!e && getComputedStyle(e).display !== 'none' && getComputedStyle(e).visibility !== 'hidden';
}, id);
const canvasBox = (page) => page.evaluate(() => {
  const r = canvas.getBoundingClientRect();
  return { x: r.left, y: r.top, w: r.width, h: r.height };
});
const stopTurntable = (page) => page.evaluate(() => { animate = 0; });
const frames = (page, n) => page.evaluate((count) => new Promise((done) => {
  let left = count;
  const step = () => (--left <= 0 ? done() : requestAnimationFrame(step));
  requestAnimationFrame(step);
}), n);

before(async () => {
  browser = await h.launchBrowser();
  const texture = await h.makePicture(browser, path.join(h.artifacts(), 'red-blue.png'),
    '<div style="height:128px;background:#ff0000"></div><div style="height:128px;background:#0000ff"></div>', 256, 256);
  mainFile = h.exportPage('main', mainDocument(texture), ['--notes']);
  mainUrl = 'file://' + mainFile;
});

after(async () => {
  if (browser) await browser.close();
});

describe('start-up', () => {
  it('starts cleanly, shows the frame and sizes the canvas from the window', async () => {
    const { page, errors } = await h.openPage(browser, mainUrl);
    await frames(page, 3);
    assert.deepEqual(errors, []);
    const s = await state(page);
    assert.deepEqual([s.usePreview, s.scal, s.animate], [0, 1, 1], 'the picture flat and turning as a turntable');
    for (const id of ['ErrorText', 'GLPreview', 'Edge', 'Icon']) assert.equal(await shown(page, id), false, id);
    for (const id of ['BX', 'TRL', 'Fold', 'WebGLCanvas']) assert.equal(await shown(page, id), true, id);
    const errorText = await page.evaluate(() => document.getElementById('ErrorText').textContent);
    assert.match(errorText, /Please open HTML page in a WebGL\u2122 capable browser/);

    // The canvas is its frame, 80% x 70% of the window, to the pixel.
    const size = () => page.evaluate(() => ({
      w: canvas.width, h: canvas.height, box: canvas.getBoundingClientRect().toJSON(),
      frame: document.getElementById('GLCanvas').getBoundingClientRect().toJSON(),
    }));
    const first = await size();
    assert.deepEqual([first.w, first.h], [800, 490]);
    assert.deepEqual(first.box, first.frame);
    await h.saveScreenshot(page, 'start-up');

    await page.setViewportSize({ width: 900, height: 640 });
    await page.waitForFunction(() => canvas.width !== 800);
    const resized = await page.evaluate(() => {
      const t = getComputedStyle(document.getElementById('TRL'));
      return { w: canvas.width, h: canvas.height, trlWidth: t.width, trlTop: t.top, trlBorder: t.borderTopWidth };
    });
    assert.deepEqual(resized, {
      w: 900 * 80 / 100, h: 640 * 70 / 100,
      trlWidth: `${900 * 80 / 100 + 12}px`, trlTop: `${640 * 18 / 100}px`, trlBorder: `${640 * 70 / 100}px`,
    });
    assert.deepEqual(errors, []);
    await page.close();
  });

  it('starts without a preview picture and without any geometry', async () => {
    const file = h.exportPage('empty-scene', h.sceneDocument({
      objects: [{ type: 'textDot', point: [0, 0, 0], text: 'origin' }],
      eye: [0, -8, 0], target: [0, 0, 0], lens: 33, back: [TL, BL, TR, BR],
    }));
    const { page, errors } = await h.openPage(browser, withoutPreview(file, 'empty-scene-no-preview'));
    await frames(page, 3);
    assert.deepEqual(errors, []);
    assert.equal((await state(page)).usePreview, 0);
    assert.equal(await shown(page, 'ErrorText'), false);
    assert.equal(await shown(page, 'Fold'), true);
    assert.equal(await page.evaluate(() => document.getElementById('dot1').style.display), 'block');
    await h.saveScreenshot(page, 'empty-scene');
    await page.close();
  });
});

describe('drawing', () => {
  let page;
  let errors;
  before(async () => {
    ({ page, errors } = await h.openPage(browser, mainUrl));
    await stopTurntable(page);
  });
  after(async () => {
    await h.saveScreenshot(page, 'drawing');
    assert.deepEqual(errors, []);
    await page.close();
  });

  it('fills the canvas corners with the four background colours', async () => {
    const { w, h: hh } = await page.evaluate(() => ({ w: vW, h: vH }));
    const [tl, bl, tr, br] = await h.drawAndRead(page, [[1, 1], [1, hh - 2], [w - 2, 1], [w - 2, hh - 2]]);
    for (const [got, want, name] of [[tl, TL, 'top left'], [bl, BL, 'bottom left'], [tr, TR, 'top right'],
      [br, BR, 'bottom right']]) {
      assert.ok(h.near(got.slice(0, 3), want, 6), `${name}: ${got} is not ${want}`);
      assert.equal(got[3], 255, `${name} is opaque`);
    }
  });

  it('draws the box at its projected centre, the transparent face over the opaque ones', async () => {
    const { w, h: hh } = await page.evaluate(() => ({ w: vW, h: vH }));
    const [centre] = await h.drawAndRead(page, [[w / 2, hh / 2]]);
    const background = [0, 1, 2].map((k) => (TL[k] + BL[k] + TR[k] + BR[k]) / 4);
    assert.ok(!h.near(centre.slice(0, 3), background, 40), `centre ${centre} looks like the background`);
    // Half the blue front face over the green back face, both turned to the
    // eye: blended, and the back face was there to blend with although the
    // front face's buffer comes first in the page.
    const first = await page.evaluate(() => mat[mi[0] * 15 + 10]);
    assert.equal(first, 0.5, 'the first buffer is the transparent face\'s');
    const blend = GREEN.map((g, k) => (g + BLUE[k]) / 2);
    assert.ok(h.near(centre.slice(0, 3), blend, 12), `centre ${centre} is not blue over green (${blend})`);
  });

  it('shows the texture the right way up', async () => {
    const top = await h.projectPoint(page, [4, 0, 0.6]);
    const bottom = await h.projectPoint(page, [4, 0, -0.6]);
    assert.ok(top[1] < bottom[1]);
    const [up, down] = await h.drawAndRead(page, [top, bottom]);
    assert.ok(h.near(up.slice(0, 3), [255, 0, 0], 12), `upper half ${up} is not red`);
    assert.ok(h.near(down.slice(0, 3), [0, 0, 255], 12), `lower half ${down} is not blue`);
  });

  it('draws the curve', async () => {
    // The curve's middle point, between (-5,0,-1) and (-3,0,1).
    const mid = await h.projectPoint(page, [-4, 0, 0]);
    const around = [];
    for (let dx = -2; dx <= 2; dx++) for (let dy = -2; dy <= 2; dy++) around.push([mid[0] + dx, mid[1] + dy]);
    const px = await h.drawAndRead(page, around);
    // The line is smoothed into the background, so no pixel need be pure
    // yellow; one far yellower than the background around it is the line.
    assert.ok(px.some((p) => p[0] > 150 && p[1] > 150 && p[2] < 80), `no yellow near ${mid}`);
  });

  it('places the labels at their points inside the canvas and hides the others', async () => {
    await h.drawAndRead(page, []);
    const labels = await page.evaluate(() => [1, 2, 3, 4].map((n) => {
      const e = document.getElementById(`dot${n}`);
      return { display: e.style.display, left: parseFloat(e.style.left), top: parseFloat(e.style.top) };
    }));
    const { w, h: hh } = await page.evaluate(() => ({ w: vW, h: vH }));
    assert.equal(labels[0].display, 'block');
    assert.ok(Math.abs(labels[0].left - w / 2) < 1 && Math.abs(labels[0].top - hh / 2) < 1, JSON.stringify(labels[0]));
    assert.equal(labels[1].display, 'block');
    const [under] = await h.drawAndRead(page, [[labels[1].left, labels[1].top]]);
    assert.ok(h.near(under.slice(0, 3), [255, 0, 0], 12), `the label's point ${under} is not on the red half`);
    assert.equal(labels[2].display, 'none', 'a point off the canvas');
    assert.equal(labels[3].display, 'none', 'a point behind the eye');
    // The label stands where it is drawn on screen: inside the canvas.
    const box = await canvasBox(page);
    const rect = await page.evaluate(() => document.getElementById('dot2').getBoundingClientRect().toJSON());
    assert.ok(Math.abs(rect.left - (box.x + labels[1].left)) < 1.5 && Math.abs(rect.top - (box.y + labels[1].top)) < 1.5);
  });
});

describe('depth', () => {
  const P = (x, y, z) => [x, y, z];
  // A square sheet across the y axis at y, of half size s, facing -y or +y
  // (n), in the document's material m.
  const sheet = (y, s, n, m) =>
    h.quadMesh([{ corners: [P(-s, y, -s), P(s, y, -s), P(s, y, s), P(-s, y, s)], normal: [0, n, 0] }], { material: m });
  // A page of sheets on black, the eye at the origin looking along +y, its
  // turntable stopped and view reset; answers the pixels at(width, height) names.
  async function draw(name, objects, colours, lens, at) {
    const file = h.exportPage(name, h.sceneDocument({
      objects, materials: colours.map((c) => ({ diffuse: h.hex(c) })),
      eye: [0, 0, 0], target: [0, 1, 0], lens, back: [[0, 0, 0], [0, 0, 0], [0, 0, 0], [0, 0, 0]],
    }));
    const { page, errors } = await h.openPage(browser, 'file://' + file);
    await stopTurntable(page);
    await page.evaluate(() => { va = initView(veye, vtar, vx, vy); });
    const { w, h: hh } = await page.evaluate(() => ({ w: vW, h: vH }));
    const px = await h.drawAndRead(page, at(w, hh));
    await h.saveScreenshot(page, name);
    assert.deepEqual(errors, []);
    await page.close();
    return px;
  }

  it('keeps the nearer of two quads in front 100,000 units away', async () => {
    const px = await draw('far-quads', [sheet(100000, 60000, -1, 0), sheet(100050, 60000, -1, 1)],
      [[255, 0, 0], [0, 255, 0]], 33, (w, hh) => [[w / 2, hh / 2], [w / 4, hh / 4], [w * 0.7, hh * 0.6]]);
    for (const p of px) assert.ok(h.near(p.slice(0, 3), [255, 0, 0], 10), `${p} is not the nearer, red quad`);
  });

  it('shows what lies in front of an eye inside the box, near and far', async () => {
    // A thin post just ahead of the eye, a wall far ahead and one just
    // behind the eye, so the scene's box reaches behind the eye and its
    // corners behind it are much nearer than the far wall.
    const [centre, side] = await draw('inside-box', [sheet(400, 40, -1, 0), sheet(1, 0.02, -1, 1), sheet(-5, 40, 1, 2)],
      [[0, 0, 255], [255, 0, 0], [0, 255, 0]], 21, (w, hh) => [[w / 2, hh / 2], [w / 2 + 25, hh / 2]]);
    assert.ok(h.near(centre.slice(0, 3), [255, 0, 0], 10), `the near post ${centre} is missing`);
    assert.ok(h.near(side.slice(0, 3), [0, 0, 255], 10), `the far wall ${side} is missing`);
  });
});

describe('model size', () => {
  // A white cube of edge s on black, seen from (1.5, -2.5, 1.2) s: the
  // camera scales with the model, as an export of a model in any unit has it.
  const P = (x, y, z) => [x, y, z];
  const cube = (s) => {
    const f = (corners, normal) => ({ corners: corners.map((p) => p.map((v) => v * s / 2)), normal });
    return h.sceneDocument({
      materials: [{ diffuse: '#ffffff' }],
      objects: [h.quadMesh([
        f([P(-1, -1, -1), P(1, -1, -1), P(1, -1, 1), P(-1, -1, 1)], [0, -1, 0]),
        f([P(-1, 1, -1), P(1, 1, -1), P(1, 1, 1), P(-1, 1, 1)], [0, 1, 0]),
        f([P(1, -1, -1), P(1, 1, -1), P(1, 1, 1), P(1, -1, 1)], [1, 0, 0]),
        f([P(-1, -1, -1), P(-1, 1, -1), P(-1, 1, 1), P(-1, -1, 1)], [-1, 0, 0]),
        f([P(-1, -1, 1), P(1, -1, 1), P(1, 1, 1), P(-1, 1, 1)], [0, 0, 1]),
        f([P(-1, -1, -1), P(1, -1, -1), P(1, 1, -1), P(-1, 1, -1)], [0, 0, -1]),
      ], { material: 0 })],
      eye: [1.5 * s, -2.5 * s, 1.2 * s], target: [0, 0, 0], lens: 50, back: [[0, 0, 0], [0, 0, 0], [0, 0, 0], [0, 0, 0]],
    });
  };

  it('draws cubes of 0.001 to 1000 units at the same height, as their cameras frame them', async () => {
    const heights = [];
    for (const s of [1000, 0.001, 0.01, 0.1, 1, 10]) {
      const { page, errors } = await h.openPage(browser, 'file://' + h.exportPage(`cube-${s}`, cube(s)));
      const px = await h.canvasPixels(page);
      const width = await page.evaluate(() => vW);
      // Rows with a pixel of the cube in them, top and bottom.
      const rows = [];
      for (let i = 0; i < px.length; i += 4) if (px[i] + px[i + 1] + px[i + 2] > 120) rows.push(Math.floor(i / 4 / width));
      heights.push([s, rows.length ? rows[rows.length - 1] - rows[0] + 1 : 0]);
      if (s === 0.001) await h.saveScreenshot(page, 'cube-0.001');
      assert.deepEqual(errors, []);
      await page.close();
    }
    const [, big] = heights[0];
    assert.ok(big > 300, `the 1000-unit cube is ${big} pixels high`);
    for (const [s, hgt] of heights) assert.ok(Math.abs(hgt / big - 1) <= 0.02, `heights ${JSON.stringify(heights)} (size, pixels): ${s}`);
  });
});

describe('mouse and keys', () => {
  let page;
  let errors;
  let centre;
  before(async () => {
    ({ page, errors } = await h.openPage(browser, mainUrl));
    const box = await canvasBox(page);
    // Where no label covers the canvas.
    centre = { x: box.x + box.w * 0.3, y: box.y + box.h * 0.75 };
  });
  after(async () => {
    await h.saveScreenshot(page, 'mouse');
    assert.deepEqual(errors, []);
    await page.close();
  });

  const angleOf = (s) => Math.atan2(s.eye[1] - s.bc[1], s.eye[0] - s.bc[0]);
  const turnOver = async (ms) => {
    const a = angleOf(await state(page));
    await page.waitForTimeout(ms);
    let d = angleOf(await state(page)) - a;
    if (d > Math.PI) d -= 2 * Math.PI;
    if (d < -Math.PI) d += 2 * Math.PI;
    return d;
  };

  it('a left drag turns the model and stops the turntable', async () => {
    await stopTurntable(page);
    const before = await h.drawAndHash(page);
    const s0 = await state(page);
    await page.mouse.move(centre.x, centre.y);
    await page.mouse.down();
    await page.mouse.move(centre.x + 60, centre.y + 20, { steps: 6 });
    await page.mouse.up();
    const s1 = await state(page);
    assert.equal(s1.animate, 0);
    assert.ok(Math.abs(angleOf(s1) - angleOf(s0)) > 0.1, 'the eye did not go round');
    const dragged = await h.drawAndHash(page);
    assert.notEqual(dragged, before);
    await page.waitForTimeout(300);
    assert.equal(await h.drawAndHash(page), dragged, 'the turntable still turns');
    await h.saveScreenshot(page, 'mouse-dragged');
  });

  it('a click restarts the turntable and the next one reverses it', async () => {
    await page.mouse.click(centre.x, centre.y);
    assert.equal((await state(page)).animate, 1);
    const a = await h.drawAndHash(page);
    // The clicks stand further apart than a double click's 350 ms.
    const forward = await turnOver(600);
    assert.notEqual(await h.drawAndHash(page), a);
    await page.mouse.click(centre.x, centre.y);
    assert.equal((await state(page)).animate, -1);
    const backward = await turnOver(600);
    assert.ok(forward > 0 && backward < 0, `turned ${forward}, then ${backward}`);
    await stopTurntable(page);
  });

  it('the wheel zooms in when turned away from the user, as Chrome reports it', async () => {
    await stopTurntable(page);
    const d0 = distance(await state(page));
    await page.mouse.move(centre.x, centre.y);
    await page.mouse.wheel(0, -100);
    await page.waitForFunction((d) => Math.hypot(veye.x - bc.x, veye.y - bc.y, veye.z - bc.z) !== d, d0);
    const d1 = distance(await state(page));
    assert.ok(d1 < d0, `${d1} is not nearer than ${d0}`);
    await page.mouse.wheel(0, 100);
    await page.waitForFunction((d) => Math.hypot(veye.x - bc.x, veye.y - bc.y, veye.z - bc.z) !== d, d1);
    assert.ok(distance(await state(page)) > d1);
  });

  it('the wheel zooms by its turn in whatever unit the browser reports it, in any browser, at most half way per event', async () => {
    const step = (deltaY, deltaMode) => page.evaluate(([dy, mode]) => {
      const before = Math.hypot(veye.x - bc.x, veye.y - bc.y, veye.z - bc.z);
      const e = new WheelEvent('wheel', { deltaY: dy, deltaMode: mode, cancelable: true });
      canvas.dispatchEvent(e);
      return { ratio: Math.hypot(veye.x - bc.x, veye.y - bc.y, veye.z - bc.z) / before, prevented: e.defaultPrevented };
    }, [deltaY, deltaMode]);
    // One notch towards the user: 100 pixels in Chromium, 3 lines in Firefox.
    const notch = [await step(100, 0), await step(3, 1)];
    await page.evaluate(() => { window.chrome = undefined; });
    notch.push(await step(100, 0));
    await page.evaluate(() => { delete window.chrome; });
    for (const n of notch) assert.deepEqual([Math.abs(n.ratio - (1 + 0.4 / 3)) < 1e-9, n.prevented], [true, true], JSON.stringify(n));
    // A page-wise scroll neither throws the eye away nor through the pivot.
    const pages = [await step(1, 2), await step(-1, 2), await step(-32768, 1)].map((r) => r.ratio);
    assert.ok(h.near(pages, [1.5, 0.5, 0.5], 1e-9), `page-wise ratios ${pages}`);
  });

  it('a drag ends where the button is released, also outside the canvas; a right drag turns the model and opens no menu', async () => {
    await stopTurntable(page);
    const box = await canvasBox(page);
    await page.mouse.move(centre.x, centre.y);
    await page.mouse.down();
    await page.mouse.move(centre.x + 20, box.y - 40, { steps: 3 });
    await page.mouse.up();
    const released = await state(page);
    await page.mouse.move(centre.x - 40, centre.y, { steps: 3 });
    assert.deepEqual((await state(page)).eye, released.eye, 'the model turns after the release');

    await page.evaluate(() => {
      window.menus = [];
      window.addEventListener('contextmenu', (e) => menus.push(e.defaultPrevented));
    });
    await page.mouse.down({ button: 'right' });
    await page.mouse.move(centre.x + 20, centre.y, { steps: 3 });
    await page.mouse.up({ button: 'right' });
    assert.ok(Math.abs(angleOf(await state(page)) - angleOf(released)) > 0.1, 'the right drag did not turn the model');
    assert.deepEqual(await page.evaluate(() => menus), [true], 'context menus asked for, and whether they were refused');
  });

  it('Shift and drag pans, and a double click returns to the first view with the turntable as it was', async () => {
    await stopTurntable(page);
    const s0 = await state(page);
    await page.keyboard.down('Shift');
    await page.mouse.move(centre.x, centre.y);
    await page.mouse.down();
    await page.mouse.move(centre.x + 40, centre.y - 20, { steps: 4 });
    await page.mouse.up();
    await page.keyboard.up('Shift');
    const s1 = await state(page);
    const off = (s) => s.eye.map((v, k) => v - s.bc[k]);
    assert.ok(!h.near(s1.bc, s0.bc, 0.1), 'the pivot stayed');
    assert.ok(h.near(off(s1), off(s0), 1e-9), 'the view turned or zoomed');
    await page.mouse.dblclick(centre.x, centre.y);
    const s2 = await state(page);
    assert.equal(s2.animate, 0);
    const first = await page.evaluate(() => [[home[0].x, home[0].y, home[0].z], [bc.x, bc.y, bc.z],
      [(bbmin.x + bbmax.x) / 2, (bbmin.y + bbmax.y) / 2, (bbmin.z + bbmax.z) / 2]]);
    assert.deepEqual([s2.eye, first[1]], [first[0], first[2]]);
  });

  it('the canvas, named by the title, takes the focus by Tab and shows it; arrows turn or pan, + and - zoom, space is a click, Home starts over, none scrolls the page', async () => {
    assert.equal(await page.getByRole('img', { name: 'Browser test' }).count(), 1);
    // A click focuses the canvas too, but the ring is the keyboard's.
    await page.evaluate(() => document.activeElement.blur());
    await page.mouse.click(centre.x, centre.y);
    assert.equal(await page.evaluate(() => [document.activeElement === canvas, getComputedStyle(canvas).outlineStyle].join()), 'true,none');
    await stopTurntable(page);
    await page.evaluate(() => document.activeElement.blur());
    for (let i = 0; i < 5 && !(await page.evaluate(() => document.activeElement === canvas)); i++) await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => [document.activeElement === canvas, getComputedStyle(canvas).outlineStyle].join()), 'true,solid');
    await page.evaluate(() => {
      window.keys = [];
      window.addEventListener('keydown', (e) => { if (e.key !== 'Shift') keys.push(e.defaultPrevented); });
    });
    const press = async (key) => { await page.keyboard.press(key); return state(page); };
    const s0 = await state(page);
    const turned = await press('ArrowRight');
    assert.ok(Math.abs(angleOf(turned) - angleOf(s0) + 5 * Math.PI / 180) < 1e-9, 'ArrowRight turns by 5 degrees as a drag to the right does');
    assert.ok((await press('ArrowUp')).eye[2] !== turned.eye[2], 'ArrowUp does not tilt');
    const d = distance(await state(page));
    assert.ok(Math.abs(distance(await press('+')) / d - (1 - 0.4 / 3)) < 1e-9, '+ zooms in by a notch');
    assert.ok(Math.abs(distance(await press('-')) / d - (1 - 0.4 / 3) * (1 + 0.4 / 3)) < 1e-9, '- zooms out by a notch');
    assert.ok(!h.near((await press('Shift+ArrowLeft')).bc, s0.bc, 0.1), 'Shift and an arrow do not pan');
    assert.equal((await press(' ')).animate, 1);
    await stopTurntable(page);
    const back = await press('Home');
    assert.deepEqual([back.eye, back.bc], await page.evaluate(() => [[home[0].x, home[0].y, home[0].z],
      [(bbmin.x + bbmax.x) / 2, (bbmin.y + bbmax.y) / 2, (bbmin.z + bbmax.z) / 2]]));
    assert.deepEqual(await page.evaluate(() => keys), [true, true, true, true, true, true, true], 'keys left to the page');
  });

  it('a middle drag moves the eye along the view without turning', async () => {
    await stopTurntable(page);
    const s0 = await state(page);
    await page.mouse.move(centre.x, centre.y);
    await page.mouse.down({ button: 'middle' });
    await page.mouse.move(centre.x, centre.y + 30, { steps: 3 });
    await page.mouse.up({ button: 'middle' });
    const s1 = await state(page);
    assert.ok(distance(s1) > distance(s0) * 1.2, `${distance(s1)} vs ${distance(s0)}`);
    const dir = (s) => { const v = s.tar.map((t, i) => t - s.eye[i]); const l = Math.hypot(...v); return v.map((x) => x / l); };
    // The mouse press restarts the turntable until the first move stops it,
    // so a frame or two may turn the view about the upright axis; a drag
    // that turned the model would tilt it by degrees.
    assert.ok(Math.abs(dir(s1)[2] - dir(s0)[2]) < 1e-9, 'the view tilted');
    assert.ok(h.near(dir(s1), dir(s0), 0.01), 'the view turned');
    assert.equal(s1.animate, 0);
  });
});

describe('page turn', () => {
  it('turns the page to the help text within about 50 frames and back again', async () => {
    const { page, errors } = await h.openPage(browser, mainUrl);
    await stopTurntable(page);
    const box = await canvasBox(page);
    // The help side, in the upper right of the canvas.
    const clip = { x: box.x + box.w * 0.6, y: box.y + 4, width: box.w * 0.35, height: box.h * 0.3 };
    const helpShowsThrough = async () => {
      const withHelp = await page.screenshot({ clip });
      await page.evaluate(() => { document.getElementById('HelpText').style.visibility = 'hidden'; });
      const without = await page.screenshot({ clip });
      await page.evaluate(() => { document.getElementById('HelpText').style.visibility = ''; });
      return !withHelp.equals(without);
    };
    assert.equal(await helpShowsThrough(), false, 'the flat page hides the help text');

    // Counts the frames in which the page is turning.
    await page.evaluate(() => {
      window.turningFrames = 0;
      const count = () => { if (fade !== 0) window.turningFrames++; requestAnimationFrame(count); };
      requestAnimationFrame(count);
    });
    await page.click('#fold');
    await page.waitForFunction(() => scal === 0 && fade === 0, null, { timeout: 60000 });
    const took = await page.evaluate(() => window.turningFrames);
    assert.ok(took >= 45 && took <= 55, `turned in ${took} frames`);
    for (const id of ['Edge', 'Icon']) assert.equal(await shown(page, id), true, id);
    assert.equal(await shown(page, 'Fold'), false);
    for (const n of [1, 2]) assert.equal(await shown(page, `dot${n}`), false, `label ${n} while turned`);
    assert.equal(await helpShowsThrough(), true, 'the help text does not show through');
    await h.saveScreenshot(page, 'page-turned');

    await page.click('#edge');
    await page.waitForFunction(() => scal === 1 && fade === 0, null, { timeout: 60000 });
    await frames(page, 2);
    assert.equal(await shown(page, 'Fold'), true);
    for (const id of ['Edge', 'Icon']) assert.equal(await shown(page, id), false, id);
    assert.equal(await shown(page, 'dot1'), true);
    assert.equal(await helpShowsThrough(), false, 'the page did not come back');
    assert.deepEqual(errors, []);
    await page.close();
  });
});

describe('without WebGL', () => {
  let plain;
  before(async () => { plain = await h.launchBrowser(['--disable-webgl', '--disable-3d-apis']); });
  after(async () => { if (plain) await plain.close(); });

  it('keeps the preview picture and the fold alternates help text and preview, with or without a picture', async () => {
    const { page, errors } = await h.openPage(plain, mainUrl);
    assert.equal((await state(page)).usePreview, 1);
    assert.equal(await shown(page, 'GLPreview'), true);
    assert.equal(await shown(page, 'ErrorText'), true);
    assert.match(await page.evaluate(() => document.getElementById('ErrorText').textContent), /WebGL/);
    assert.equal(await shown(page, 'Fold'), true);
    await h.saveScreenshot(page, 'no-webgl');
    const sides = async () => [await shown(page, 'HelpText'), await shown(page, 'GLPreview')];
    for (const expected of [[true, false], [false, true], [true, false]]) {
      await page.click('#fold');
      assert.deepEqual(await sides(), expected);
    }
    const bare = await h.openPage(plain, withoutPreview(mainFile, 'no-webgl-no-preview'));
    assert.equal((await state(bare.page)).usePreview, 1);
    await bare.page.click('#fold');
    await bare.page.click('#fold');
    assert.equal(await shown(bare.page, 'HelpText'), true);
    assert.deepEqual([...errors, ...bare.errors], []);
    await page.close();
    await bare.page.close();
  });
});
