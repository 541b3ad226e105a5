'use strict';
// The page that `zem-webgl demo` writes, opened in Chromium: the whole
// exporter at work on the built-in demo document, not hand-written data.
// That it draws the model over its background is the Firefox test's, which
// compares the two browsers' pictures.
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const h = require('./helpers');


test.describe('the exported demo page', () => {
  let browser;
  let page;
  let errors;
  let html;

  test.before(async () => {
    const dir = h.tmpdir();
    const file = path.join(dir, 'demo.html');
    execFileSync(h.zem, ['demo', '-o', file, '--quiet']);
    html = fs.readFileSync(file, 'latin1');
    fs.copyFileSync(file, path.join(h.artifacts(), 'exported-demo.html'));
    browser = await h.launchBrowser();
    ({ page, errors } = await h.openPage(browser, 'file://' + file));
    await page.evaluate(() => { animate = 0; });
    await h.saveScreenshot(page, 'exported-demo');
  });
  test.after(async () => { if (browser) await browser.close(); });

  test.it('starts the viewer without a script error', async () => {
    assert.deepEqual(errors, []);
    assert.equal(await page.evaluate(() => usePreview), 0);
    assert.equal(await page.evaluate(() => shaderErr), 0);
  });

  test.it('carries meshes, materials, textures, curves and labels', async () => {
    const counts = await page.evaluate(() => ({
      buffers: buff.length, materials: mat.length / 15, textures: textures.length, curves: lbuff.length,
      dots: dtpts.length / 3,
    }));
    assert.ok(counts.buffers >= 5, `mesh buffers: ${counts.buffers}`);
    assert.ok(counts.materials >= 5, `materials: ${counts.materials}`);
    assert.equal(counts.textures, 3, 'a JPEG, a PNG with alpha and an RGBE texture');
    assert.ok(counts.curves >= 5, `curve buffers: ${counts.curves}`);
    assert.equal(counts.dots, 3);
    // Every texture the page refers to has its picture element.
    for (let i = 1; i <= counts.textures; i++) assert.ok(html.includes(`<img id="tex${i}"`), `tex${i}`);
    // The labels are shown where their points are.
    const shown = await page.evaluate(() => [1, 2, 3].filter((n) => document.getElementById('dot' + n).style.display !== 'none').length);
    assert.ok(shown >= 2, `labels shown: ${shown}`);
  });
});
