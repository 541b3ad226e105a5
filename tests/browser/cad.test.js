'use strict';
// Pages of STEP models (the project's own test files) in Chromium and
// Firefox: the parts drawn shaded in their colours, with their edges.
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const h = require('./helpers');

const data = path.join(__dirname, '..', 'data', 'cad');

function exportModel(name) {
  const out = path.join(h.artifacts(), `cad-${name}.html`);
  execFileSync(h.zem, ['export', path.join(data, `${name}.step`), '-o', out, '--quiet'], { env: h.exportEnv, stdio: 'pipe' });
  return 'file://' + out;
}

test.describe('STEP models in the browsers', () => {
  const browsers = {};
  const urls = {};

  test.before(async () => {
    urls.assembly = exportModel('assembly');
    urls.bushing = exportModel('cylinder-hole');
    [browsers.chromium, browsers.firefox] = await Promise.all([h.launchBrowser(), h.launchFirefox()]);
  });
  test.after(async () => Promise.all(Object.values(browsers).map((b) => b && b.close())));

  test.it('draw both instances of the assembly in their colours, the bushing in blue, and the edges', async () => {
    for (const [browserName, browser] of Object.entries(browsers)) {
      for (const [model, url] of Object.entries(urls)) {
        const { page, errors } = await h.openPage(browser, url);
        assert.deepEqual(errors, [], `${browserName} ${model}`);
        await page.evaluate(() => { animate = 0; });
        const state = await page.evaluate(() => ({ webgl: gl !== null, usePreview, shaderErr, curves: lbuff.length }));
        assert.deepEqual([state.webgl, state.usePreview, state.shaderErr], [true, 0, 0], `${browserName} ${model}`);
        assert.ok(state.curves >= 4, `${browserName} ${model}: ${state.curves} edge buffers`);
        await h.canvasPixels(page);
        await h.saveScreenshot(page, `cad-${model}-${browserName}`);
        // The middle of each part's top face shows its colour; the edges
        // make dark or coloured lines across the picture, so the drawing
        // without them differs along them.
        const points = model === 'assembly' ? [[2, 2, 4], [18, 2, 4]] : [[7, 0, 20]];
        const pixels = await h.drawAndRead(page, await Promise.all(points.map((p) => h.projectPoint(page, p))));
        const expected = model === 'assembly' ? [0, 1] : [2];
        pixels.forEach((px, i) => {
          const c = expected[i];
          assert.ok(px[c] > 80 && px[c] > 1.5 * Math.max(...px.slice(0, 3).filter((_, k) => k !== c)),
            `${browserName} ${model}: ${px} at part ${i}`);
        });
        const withEdges = await h.canvasPixels(page);
        await page.evaluate(() => { lbl.fill(0); });
        const without = await h.canvasPixels(page);
        assert.ok(h.differingShare(withEdges, without) > 0.0005, `${browserName} ${model}: the edges draw nothing`);
        await page.close();
      }
    }
  });
});
