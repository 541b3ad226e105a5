'use strict';
// Exported pages opened from file:// in Debian's Firefox ESR: the viewer
// starts, draws the model as Chromium does, and follows the mouse.
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const h = require('./helpers');

const zem = path.join(__dirname, '..', '..', 'build', 'app', 'zem-webgl');
let folder;

function exportDemo(name, extra) {
  const file = path.join(folder, `${name}.html`);
  execFileSync(zem, ['demo', '-o', file, '--quiet', ...extra]);
  return 'file://' + file;
}

// The eye's distance from the point the view turns about.
const eyeDistance = (page) => page.evaluate(() => Math.hypot(veye.x - bc.x, veye.y - bc.y, veye.z - bc.z));

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

  test.it('start the viewer from file:// with a WebGL context and no script error', async () => {
    for (const [name, { firefox: f }] of Object.entries(pages)) {
      assert.deepEqual(f.errors, [], name);
      const state = await f.page.evaluate(() => ({
        webgl: gl instanceof WebGLRenderingContext, usePreview, shaderErr, buffers: buff.length, textures: textures.length,
      }));
      assert.deepEqual({ ...state, buffers: state.buffers > 0 }, { webgl: true, usePreview: 0, shaderErr: 0, buffers: true, textures: 3 }, name);
    }
  });

  test.it('draw the model where it stands, as Chromium draws it', async (t) => {
    for (const [name, { firefox: f, chromium: c }] of Object.entries(pages)) {
      const fx = await h.canvasPixels(f.page);
      const share = h.differingShare(fx, await h.canvasPixels(c.page));
      t.diagnostic(`${name}: ${(share * 100).toFixed(3)}% of the pixels differ from Chromium's`);
      // The red prism's middle is red; the canvas corners are background.
      const [w, hgt] = await f.page.evaluate(() => [vW, vH]);
      const prism = await h.projectPoint(f.page, [-3, -2.5, 0.8]);
      const [red, top, bottom] = await h.drawAndRead(f.page, [prism, [2, 2], [w - 3, hgt - 3]]);
      t.diagnostic(`${name}: prism ${prism} ${red} top ${top} bottom ${bottom}`);
    }
  });

  test.it('turn the model on a left drag and zoom in when the wheel turns away from the user', async (t) => {
    const { page } = pages.standard.firefox;
    await page.evaluate(() => { animate = 0; initView(veye, vtar, vx, vy); });
    const before = await h.drawAndHash(page);
    const box = await (await page.$('#WebGLCanvas')).boundingBox();
    const centre = { x: box.x + box.width / 2, y: box.y + box.height / 2 };
    await page.mouse.move(centre.x, centre.y);
    await page.mouse.down();
    await page.mouse.move(centre.x + 60, centre.y + 20, { steps: 6 });
    await page.mouse.up();
    const dragged = await h.drawAndHash(page);
    t.diagnostic(`${before} ${dragged} animate ${await page.evaluate(() => animate)}`);
    const d0 = await eyeDistance(page);
    await page.mouse.wheel({ deltaY: -100 });
    await page.waitForFunction((d) => Math.hypot(veye.x - bc.x, veye.y - bc.y, veye.z - bc.z) !== d, {}, d0);
    const d1 = await eyeDistance(page);
    t.diagnostic(`wheel ${d0} -> ${d1}`);
    await h.saveScreenshot(page, 'firefox-dragged');
  });
});
