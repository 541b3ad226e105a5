'use strict';
// Exported pages opened from file:// in Debian's Firefox ESR: the viewer
// starts, draws the model as Chromium does, and bounds a wheel turn.
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

  test.before(async () => {
    folder = h.tmpdir();
    const urls = { standard: exportDemo('demo', []), compact: exportDemo('demo-compact', ['--compact']) };
    [firefox, chromium] = await Promise.all([h.launchFirefox(), h.launchBrowser()]);
    for (const [name, url] of Object.entries(urls)) {
      pages[name] = { firefox: await h.openPage(firefox, url), chromium: await h.openPage(chromium, url) };
      await h.saveScreenshot(pages[name].firefox.page, `firefox-${name}`);
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

  // Turning and the other mouse actions are Chromium's tests; Firefox
  // reports a wheel turn in lines, whose bound only Firefox shows.
  test.it('zoom in on a wheel turn away from the user, without passing the pivot', async () => {
    const { page } = pages.standard.firefox;
    const eye = () => page.evaluate(() => [veye.x - bc.x, veye.y - bc.y, veye.z - bc.z]);
    await page.evaluate(() => { animate = 0; });
    const before = await h.drawAndHash(page);
    const box = await (await page.$('#WebGLCanvas')).boundingBox();
    const at = { x: box.x + box.width * 0.3, y: box.y + box.height * 0.75 };
    // Firefox reports this turn as 100 lines, far more than one notch: the
    // eye comes nearer and stays on its side of the model.
    const e0 = await eye();
    await page.mouse.move(at.x, at.y);
    await page.mouse.wheel({ deltaY: -100 });
    await page.waitForFunction((x) => veye.x - bc.x !== x, {}, e0[0]);
    const e1 = await eye();
    assert.ok(Math.hypot(...e1) < Math.hypot(...e0), `${e1} is not nearer than ${e0}`);
    assert.ok(e1.every((v, k) => Math.sign(v) === Math.sign(e0[k])), `the eye went through the pivot: ${e0} to ${e1}`);
    assert.notEqual(await h.drawAndHash(page), before);
  });
});
