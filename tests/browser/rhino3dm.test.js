'use strict';
// Pages of .3dm models (the project's own test files, made with rhino3dm) in
// Chromium and Firefox: the brep with a cached render mesh, the untrimmed
// brep tessellated by the host, the trimmed faces meshed by Open CASCADE and
// the block instances, each in its place.
const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const h = require('./helpers');

const data = path.join(__dirname, '..', 'data', '3dm');

function exportModel(name, args = []) {
  const out = path.join(h.artifacts(), `3dm-${name}.html`);
  execFileSync(h.zem, ['export', path.join(data, `${name}.3dm`), '-o', out, '--quiet', '--display-mode', 'Shaded',
    ...args], { env: h.exportEnv, stdio: 'pipe' });
  return 'file://' + out;
}

// Points of each model where something is drawn, and where nothing is.
const models = {
  // The cached mesh (a square at z = 5, not the patch under it), the
  // tessellated patch, the can's top and the disc (trimmed faces meshed by
  // Open CASCADE), and beside the disc, where its plane was cut away.
  breps: { args: [], drawn: [[2, 2, 5], [12, 2, 1], [35, 2, 6], [45, 2, 0]],
    empty: [[2, 2, 0], [12, 2, 5], [47.6, 4.6, 0]] },
  // The four squares of the nested blocks: pair A, and pair B moved and
  // scaled by 2.
  blocks: { args: ['--view', 'Overview'], drawn: [[0.5, 0.5, 0], [2.5, 0.5, 0], [1, 11, 0], [5, 11, 0]],
    empty: [[1.5, -1, 0], [5, 8, 0], [1, 6, 0]] },
};

test.describe('.3dm models in the browsers', () => {
  const browsers = {};
  const urls = {};

  test.before(async () => {
    for (const [name, model] of Object.entries(models)) urls[name] = exportModel(name, model.args);
    [browsers.chromium, browsers.firefox] = await Promise.all([h.launchBrowser(), h.launchFirefox()]);
  });
  test.after(async () => Promise.all(Object.values(browsers).map((b) => b && b.close())));

  test.it('draw the cached and tessellated breps and the block instances in their places and colours', async () => {
    for (const [browserName, browser] of Object.entries(browsers)) {
      for (const [name, model] of Object.entries(models)) {
        const { page, errors } = await h.openPage(browser, urls[name]);
        assert.deepEqual(errors, [], `${browserName} ${name}`);
        await page.evaluate(() => { animate = 0; });
        const state = await page.evaluate(() => ({ webgl: gl !== null, usePreview, shaderErr }));
        assert.deepEqual([state.webgl, state.usePreview, state.shaderErr], [true, 0, 0], `${browserName} ${name}`);
        await h.canvasPixels(page);
        await h.saveScreenshot(page, `3dm-${name}-${browserName}`);
        const points = [...model.drawn, ...model.empty];
        const at = await Promise.all(points.map((p) => h.projectPoint(page, p)));
        const [background, ...pixels] = await h.drawAndRead(page, [[5, 5], ...at]);
        pixels.forEach((px, i) => {
          const differs = px.slice(0, 3).some((v, k) => Math.abs(v - background[k]) > 24);
          assert.equal(differs, i < model.drawn.length, `${browserName} ${name}: ${px} at ${points[i]}`);
        });
        await page.close();
      }
    }
  });
});
