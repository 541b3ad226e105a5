'use strict';
// The demo page on a phone: Chromium emulating a 390 x 844 touch screen at
// three device pixels per CSS pixel, touched through the DevTools protocol's
// touch events, one or two fingers at a time.
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const h = require('./helpers');

test.describe('the demo on a phone', () => {
  let browser;
  let page;
  let errors;
  let fingers;
  let frame;

  const state = () => page.evaluate(() => ({
    animate, scal, eye: [veye.x, veye.y, veye.z], bc: [bc.x, bc.y, bc.z],
    dist: Math.hypot(veye.x - bc.x, veye.y - bc.y, veye.z - bc.z),
    zoom: visualViewport.scale, scroll: [scrollX, scrollY],
  }));
  // Fingers as [x, y] in CSS pixels, all down at once; each step moves them
  // to the next positions, the last lifts them. Events carry their own
  // times, 20 ms apart or later: drawing on the software renderer delays
  // their delivery, not what the page reads as their time. A gesture
  // starts after the last by `after` seconds, or by then.
  let clock = 0;
  const touch = async (steps, after = 0.1, soon = false) => {
    clock = soon ? clock + after : Math.max(clock + after, Date.now() / 1000);
    for (let i = 0; i <= steps.length; i++) {
      await fingers.send('Input.dispatchTouchEvent', {
        type: i === 0 ? 'touchStart' : i === steps.length ? 'touchEnd' : 'touchMove',
        touchPoints: i === steps.length ? [] : steps[i].map(([x, y], id) => ({ x, y, id })), timestamp: clock += 0.02,
      });
    }
  };
  // A tap that wobbles by two pixels, as a finger does; a second tap soon
  // after the first makes a double tap.
  const tap = (x, y, after, soon) => touch([[[x, y]], [[x + 2, y + 1]]], after, soon);
  const steps = (from, to, n = 4) =>
    Array.from({ length: n + 1 }, (_, k) => from.map((p, i) => [0, 1].map((a) => p[a] + (to[i][a] - p[a]) * k / n)));

  test.before(async () => {
    const file = path.join(h.tmpdir(), 'demo.html');
    execFileSync(h.zem, ['demo', '-o', file, '--quiet']);
    browser = await h.launchBrowser();
    ({ page, errors } = await h.openPage(browser, 'file://' + file,
      { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true }));
    fingers = await page.context().newCDPSession(page);
    await page.evaluate(() => { animate = 0; });
    frame = await page.evaluate(() => document.getElementById('GLCanvas').getBoundingClientRect().toJSON());
    await h.saveScreenshot(page, 'phone-before');
  });
  test.after(async () => {
    if (browser) await browser.close();
  });

  test.it('lays the page out at the phone\'s width, the canvas its frame, drawn at two device pixels per CSS pixel', async () => {
    const seen = await page.evaluate(() => ({
      width: document.documentElement.clientWidth, scrollWidth: document.documentElement.scrollWidth,
      canvas: canvas.getBoundingClientRect().toJSON(), buffer: [canvas.width, canvas.height],
    }));
    assert.equal(seen.width, 390);
    assert.ok(seen.scrollWidth <= 390, `the page is ${seen.scrollWidth} pixels wide`);
    assert.deepEqual(seen.canvas, frame);
    assert.equal(frame.width, 390 * 0.8);
    // The device has 3; the viewer stops at 2.
    assert.deepEqual(seen.buffer, [Math.round(frame.width * 2), Math.round(frame.height * 2)]);
    // Labels stand at their points in CSS pixels, not device pixels.
    const at = await h.projectPoint(page, await page.evaluate(() => dtpts.slice(0, 3)));
    const label = await page.evaluate(() => { const e = document.getElementById('dot1'); return [e.offsetLeft, e.offsetTop]; });
    assert.ok(h.near(label, at.map((v) => v / 2), 1), `label at ${label}, point at ${at.map((v) => v / 2)}`);
  });

  test.it('one finger turns the model; a tap starts or reverses the turntable; a double tap returns to the first view, the turntable as before', async () => {
    const x = frame.x + frame.width / 2;
    const y = frame.y + frame.height * 0.8;
    const s0 = await state();
    await touch(steps([[x, y]], [[x + 80, y + 20]]));
    const s1 = await state();
    assert.equal(s1.animate, 0, 'the drag stops the turntable');
    assert.ok(!h.near(s1.eye, s0.eye, s0.dist / 20), 'the eye did not go round');
    await tap(x, y);
    await tap(x, y, 0.1, true);
    const s2 = await state();
    const first = await page.evaluate(() => [home[0].x, home[0].y, home[0].z]);
    assert.ok(h.near(s2.eye, first, 1e-9), `the eye ${s2.eye} is not back at ${first}`);
    assert.equal(s2.animate, 0);
    assert.equal(await page.evaluate(() => getComputedStyle(canvas).outlineStyle), 'none', 'a tap shows the keyboard\'s ring');
    await tap(x, y, 0.5);
    assert.equal((await state()).animate, 1);
    await tap(x, y, 0.5);
    assert.equal((await state()).animate, -1);
    await page.evaluate(() => { animate = 0; });
  });

  test.it('two fingers pinch to zoom about the pivot and move together to pan, and the page itself neither zooms nor scrolls', async () => {
    const c = [frame.x + frame.width / 2, frame.y + frame.height * 0.6];
    const s0 = await state();
    const pivot = await h.projectPoint(page, s0.bc);
    await touch(steps([[c[0] - 40, c[1]], [c[0] + 40, c[1]]], [[c[0] - 80, c[1]], [c[0] + 80, c[1]]]));
    const s1 = await state();
    assert.ok(Math.abs(s1.dist / s0.dist - 0.5) < 0.005, `fingers twice as far apart give ${s1.dist / s0.dist}`);
    // Each finger's move pans by half its own and the next zooms, so the
    // pivot may wander by a pixel or two.
    const still = await h.projectPoint(page, s0.bc);
    assert.ok(h.near(still, pivot, 5), `the pivot went from ${pivot} to ${still}`);
    // What lay at the pivot follows the fingers (2 device pixels to a CSS pixel).
    const before = await h.projectPoint(page, s1.bc);
    await touch(steps([[c[0] - 50, c[1]], [c[0] + 50, c[1]]], [[c[0] - 20, c[1] + 40], [c[0] + 80, c[1] + 40]]));
    const s2 = await state();
    const after = await h.projectPoint(page, s1.bc);
    assert.ok(h.near(after, [before[0] + 60, before[1] + 80], 3), `the pivot moved from ${before} to ${after}`);
    assert.ok(Math.abs(s2.dist / s1.dist - 1) < 1e-9, 'a pan that does not spread the fingers does not zoom');
    assert.deepEqual([s2.zoom, ...s2.scroll], [1, 0, 0]);
    await h.saveScreenshot(page, 'phone-after');
  });

  // The turn itself, 50 frames, is the desktop test's; here it is cut short.
  test.it('the page-turn corner answers a tap, and so does the turned page', async () => {
    const fold = await page.evaluate(() => document.getElementById('fold').getBoundingClientRect().toJSON());
    await tap(fold.x + fold.width / 2, fold.y + fold.height / 2);
    await page.waitForFunction(() => fade < 0);
    await page.evaluate(() => { scal = 0.01; });
    await page.waitForFunction(() => scal === 0 && fade === 0);
    await h.saveScreenshot(page, 'phone-turned');
    await tap(frame.x + frame.width * 0.7, frame.y + frame.height * 0.2);
    await page.waitForFunction(() => fade > 0);
    assert.deepEqual(errors, []);
  });
});
