'use strict';
// Opens pages in headless Chromium (the browser tests' own launch) and
// reports, per page, the medians over the runs of: the load event (from
// the start of navigation), the end of the first frame the viewer drew,
// and the script heap in use then. Each run opens the page in a fresh
// browser context. With --firefox, each page is also opened in Firefox
// (on its own X display, as the browser tests do). A benchmark, not a test.
// Run: node bench/page_load_bench.js [--firefox] RUNS PAGE.html [PAGE.html ...]
const path = require('node:path');
const h = require(path.join(__dirname, '..', 'tests', 'browser', 'helpers'));

const median = (v) => {
  const s = [...v].sort((a, b) => a - b);
  return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};

// Marks the end of the first animation frame in which the viewer drew,
// once the drawing is done (gl.finish: the pixels exist, not only the
// commands).
const FRAME_PROBE = `(() => {
  const raf = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (f) => raf((t) => {
    f(t);
    if (window.__zemFirstFrame === undefined && typeof gl === 'object' && gl && needsUpdate === 0) {
      gl.finish();
      window.__zemFirstFrame = performance.now();
    }
  });
})();`;

async function measure(browser, file) {
  const byPuppeteer = typeof browser.createBrowserContext === 'function';
  const context = byPuppeteer ? await browser.createBrowserContext()
    : await browser.newContext({ viewport: { width: 1000, height: 700 }, deviceScaleFactor: 1 });
  const page = await context.newPage();
  if (byPuppeteer) {
    await page.setViewport({ width: 1000, height: 700, deviceScaleFactor: 1 });
    await page.evaluateOnNewDocument(FRAME_PROBE);
  } else {
    await context.addInitScript(FRAME_PROBE);
  }
  await page.goto('file://' + path.resolve(file), { waitUntil: 'load', timeout: 120000 });
  const ready = () => window.__zemFirstFrame !== undefined || usePreview === 1;
  if (byPuppeteer) await page.waitForFunction(ready, { timeout: 120000 });
  else await page.waitForFunction(ready, null, { timeout: 120000 });
  const result = await page.evaluate(() => ({
    load: performance.getEntriesByType('navigation')[0].loadEventStart,
    frame: window.__zemFirstFrame,
    preview: usePreview,
    buffers: buff.length,
    heapMb: performance.memory ? performance.memory.usedJSHeapSize / 1048576 : NaN,
  }));
  await context.close();
  if (result.preview) throw new Error(`${file}: the viewer fell back to the preview`);
  return result;
}

const describe = (m) => `load ${(m.load / 1000).toFixed(2)} s, first frame ${(m.frame / 1000).toFixed(2)} s`
  + (Number.isNaN(m.heapMb) ? '' : `, heap ${m.heapMb.toFixed(0)} MB`);

(async () => {
  const args = process.argv.slice(2);
  const firefox = args[0] === '--firefox';
  if (firefox) args.shift();
  const runs = Math.max(1, Number(args[0]) || 3);
  const files = args.slice(1);
  const browser = await h.launchBrowser();
  try {
    const seen = files.map(() => []);
    for (let r = 0; r < runs; r++) {
      for (let i = 0; i < files.length; i++) {
        const m = await measure(browser, files[i]);
        seen[i].push(m);
        console.log(`run ${r + 1} ${path.basename(files[i])}: ${describe(m)}, ${m.buffers} buffers`);
      }
    }
    for (let i = 0; i < files.length; i++) {
      const pick = (k) => median(seen[i].map((m) => m[k]));
      console.log(`median ${path.basename(files[i])}: load event ${(pick('load') / 1000).toFixed(2)} s, `
        + `first frame ${(pick('frame') / 1000).toFixed(2)} s, heap ${pick('heapMb').toFixed(0)} MB`);
    }
  } finally {
    await browser.close();
  }
  if (firefox) {
    const ff = await h.launchFirefox();
    try {
      for (const file of files) {
        const m = await measure(ff, file);
        console.log(`Firefox ${path.basename(file)}: ${describe(m)}, ${m.buffers} buffers`);
      }
    } finally {
      await ff.close();
    }
  }
})().catch((e) => {
  console.error(e.message);
  process.exit(1);
});
