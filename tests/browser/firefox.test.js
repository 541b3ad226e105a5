'use strict';
// Exported pages opened from file:// in Debian's Firefox ESR: the viewer
// starts, draws the model as Chromium does, draws compact pages (decoded by
// meshoptimizer's WebAssembly decoder) as the standard ones, and zooms on a
// wheel turn as Chromium does.
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const h = require('./helpers');

let folder;

function exportDemo(name, extra) {
  const file = path.join(folder, `${name}.html`);
  execFileSync(h.zem, ['demo', '-o', file, '--quiet', ...extra]);
  return 'file://' + file;
}

test.describe('pages in Firefox', () => {
  let firefox;
  let chromium;
  const pages = {};
  const grid = {};

  test.before(async () => {
    folder = h.tmpdir();
    const urls = { standard: exportDemo('demo', []), compact: exportDemo('demo-compact', ['--compact']) };
    [firefox, chromium] = await Promise.all([h.launchFirefox(), h.launchBrowser()]);
    for (const [name, url] of Object.entries(urls)) {
      pages[name] = { firefox: await h.openPage(firefox, url), chromium: await h.openPage(chromium, url) };
      await h.saveScreenshot(pages[name].firefox.page, `firefox-${name}`);
    }
    // A textured mesh of more than 65,535 vertices, in both forms.
    const model = await h.writeTexturedGrid(chromium, folder);
    for (const [name, extra] of [['standard', []], ['compact', ['--compact']]]) {
      const file = path.join(folder, `grid-${name}.html`);
      execFileSync(h.zem, ['export', model, '-o', file, '--quiet', ...extra]);
      grid[name] = await h.openPage(firefox, 'file://' + file);
    }
  });
  test.after(async () => {
    await Promise.all([firefox && firefox.close(), chromium && chromium.close()]);
    if (folder) fs.rmSync(folder, { recursive: true, force: true });
  });

  test.it('start the viewer from file:// with a WebGL context, no script error and every piece Chromium has', async () => {
    const state = (page) => page.evaluate(() => ({
      webgl: gl instanceof WebGLRenderingContext, usePreview, shaderErr,
      buffers: buff.length, materials: mat.length, textures: textures.length, curves: lbuff.length, dots: dtpts.length,
    }));
    for (const [name, { firefox: f, chromium: c }] of Object.entries(pages)) {
      assert.deepEqual(f.errors, [], name);
      const seen = await state(f.page);
      assert.deepEqual(seen, await state(c.page), name);
      assert.deepEqual([seen.webgl, seen.usePreview, seen.shaderErr], [true, 0, 0], name);
    }
  });

  test.it('draw the model where it stands over the background, as Chromium draws it', async (t) => {
    for (const [name, { firefox: f, chromium: c }] of Object.entries(pages)) {
      const share = h.differingShare(await h.canvasPixels(f.page), await h.canvasPixels(c.page));
      t.diagnostic(`${name}: ${(share * 100).toFixed(3)}% of the pixels differ from Chromium's`);
      assert.ok(share < 0.005, `${name}: ${(share * 100).toFixed(3)}% of the pixels differ from Chromium's`);
      // The middle of the glossy red prism is red; the canvas corners show
      // the top and bottom colours of the background.
      const [w, hgt] = await f.page.evaluate(() => [vW, vH]);
      const prism = await h.projectPoint(f.page, [-3, -2.5, 0.8]);
      const [red, top, bottom] = await h.drawAndRead(f.page, [prism, [2, 2], [w - 3, hgt - 3]]);
      assert.ok(red[0] > 100 && red[0] > 2 * Math.max(red[1], red[2]), `${name}: prism ${red}`);
      const back = await f.page.evaluate(() => [tlcol, brcol].map((v) => [v.x, v.y, v.z].map((x) => Math.round(x * 255))));
      assert.ok(h.near(top.slice(0, 3), back[0], 12) && h.near(bottom.slice(0, 3), back[1], 12), `${name}: corners ${top} ${bottom} vs ${back}`);
    }
  });

  test.it('draw compact pages as the standard pages, for the demo and a textured grid of 68,121 vertices', async (t) => {
    for (const [name, pair] of [['demo', { standard: pages.standard.firefox, compact: pages.compact.firefox }], ['grid', grid]]) {
      assert.deepEqual([pair.standard.errors, pair.compact.errors], [[], []], name);
      const decoded = await pair.compact.page.evaluate(() => [usePreview, shaderErr, buff.length]);
      assert.deepEqual(decoded, await pair.standard.page.evaluate(() => [usePreview, shaderErr, buff.length]), name);
      const share = h.differingShare(await h.canvasPixels(pair.standard.page), await h.canvasPixels(pair.compact.page));
      t.diagnostic(`${name}: ${(share * 100).toFixed(3)}% of the pixels differ`);
      assert.ok(share < 0.002, `${name}: ${(share * 100).toFixed(3)}% of the pixels differ`);
    }
  });

  // Turning and the other mouse actions are Chromium's tests; the wheel is
  // both browsers': the same turn zooms the same, whether Firefox reports it
  // in pixels (a driven wheel, smooth scrolling) or in lines (a mouse wheel).
  test.it('zoom on a wheel turn as Chromium does, in pixels or lines, never past the pivot', async () => {
    const ff = pages.standard.firefox.page;
    const ch = pages.standard.chromium.page;
    const distance = (page) => page.evaluate(() => { animate = 0; return Math.hypot(veye.x - bc.x, veye.y - bc.y, veye.z - bc.z); });
    const turned = async (page, turn, wait) => {
      const d0 = await distance(page);
      const box = await page.evaluate(() => canvas.getBoundingClientRect().toJSON());
      await page.mouse.move(box.x + box.width * 0.3, box.y + box.height * 0.75);
      await turn();
      await wait(d0);
      return (await distance(page)) / d0;
    };
    const changed = 'Math.hypot(veye.x - bc.x, veye.y - bc.y, veye.z - bc.z) !== ';
    const inFirefox = await turned(ff, () => ff.mouse.wheel({ deltaY: -100 }), (d) => ff.waitForFunction(changed + d));
    const inChromium = await turned(ch, () => ch.mouse.wheel(0, -100), (d) => ch.waitForFunction(changed + d));
    assert.ok(inFirefox < 1 && Math.abs(inFirefox - inChromium) < 1e-9, `Firefox ${inFirefox}, Chromium ${inChromium}`);
    // A notch of a mouse wheel in Firefox: 3 lines, or 100 pixels when it
    // reports pixels; a page-wise scroll, in lines, stops half way.
    const ratios = await ff.evaluate(() => [[-3, 1], [-100, 0], [-32768, 1]].map(([deltaY, deltaMode]) => {
      const before = Math.hypot(veye.x - bc.x, veye.y - bc.y, veye.z - bc.z);
      canvas.dispatchEvent(new WheelEvent('wheel', { deltaY, deltaMode, cancelable: true }));
      return Math.hypot(veye.x - bc.x, veye.y - bc.y, veye.z - bc.z) / before;
    }));
    assert.ok(h.near(ratios, [inChromium, inChromium, 0.5], 1e-9), `ratios ${ratios}`);
  });
});
