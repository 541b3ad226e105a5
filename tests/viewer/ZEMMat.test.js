'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadViewerClasses } = require('./load-viewer-classes');

const { ZEMVector, ZEMMat } = loadViewerClasses();
const v = (x, y, z) => new ZEMVector(x, y, z);
const FIELDS = ['m00', 'm01', 'm02', 'm03', 'm10', 'm11', 'm12', 'm13',
  'm20', 'm21', 'm22', 'm23', 'm30', 'm31', 'm32', 'm33'];
const IDENTITY = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1];

// (x, y, z, w) through the matrix: mij is column i, row j.
function apply(m, [x, y, z, w = 1]) {
  return [0, 1, 2, 3].map((k) => m[`m0${k}`] * x + m[`m1${k}`] * y + m[`m2${k}`] * z + m[`m3${k}`] * w);
}

// asArray's result comes from the classes' own context; copy it into ours.
const arrayOf = (m) => Array.from(m.asArray());

function fromArray(values) {
  const m = new ZEMMat();
  FIELDS.forEach((f, i) => { m[f] = values[i]; });
  return m;
}

// a * b: first b, then a.
function multiply(a, b) {
  const out = new ZEMMat();
  for (let i = 0; i < 4; i++) {
    for (let j = 0; j < 4; j++) {
      let sum = 0;
      for (let k = 0; k < 4; k++) sum += a[`m${k}${j}`] * b[`m${i}${k}`];
      out[`m${i}${j}`] = sum;
    }
  }
  return out;
}

function assertArrayNear(actual, expected, tolerance = 1e-9) {
  assert.equal(actual.length, expected.length);
  actual.forEach((a, i) => {
    assert.ok(Math.abs(a - expected[i]) <= tolerance, `entry ${i}: ${a} is not ${expected[i]} in [${actual}]`);
  });
}

test.describe('createLookAt', () => {
  const eye = v(0, -10, 0);
  const m = new ZEMMat().createLookAt(eye, v(0, 0, 0), v(0, 0, 1));

  test('puts the eye at the origin, the target ahead on -z, world up up and the right side right', () => {
    assertArrayNear(apply(m, [0, -10, 0]), [0, 0, 0, 1]);
    assertArrayNear(apply(m, [0, 0, 0]), [0, 0, -10, 1]);
    assertArrayNear(apply(m, [0, 0, 1]), [0, 1, -10, 1]);
    assertArrayNear(apply(m, [1, 0, 0]), [1, 0, -10, 1]);
  });
  test('straightens an up vector not square to the view', () => {
    const tilted = new ZEMMat().createLookAt(v(3, 4, 5), v(-1, 2, 0.5), v(0.2, 0.1, 1));
    const a = tilted.asArray();
    const col = (i) => [a[i], a[i + 4], a[i + 8]];
    for (let i = 0; i < 3; i++) {
      for (let j = 0; j < 3; j++) {
        const d = col(i).reduce((s, x, k) => s + x * col(j)[k], 0);
        assert.ok(Math.abs(d - (i === j ? 1 : 0)) < 1e-12, `rows ${i}, ${j}: ${d}`);
      }
    }
    const target = apply(tilted, [-1, 2, 0.5]);
    assertArrayNear(target.slice(0, 2), [0, 0]);
    assert.ok(target[2] < 0);
  });
});

test('createPerspective fills the frustum terms from the full vertical angle, and a degenerate one leaves the identity', () => {
  assertArrayNear(new ZEMMat().createPerspective(90, 2, 1, 11).asArray(),
    [0.5, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1.2, -1, 0, 0, -2.2, 0]);
  // A true perspective: the near and far planes land on -1 and 1, and a
  // point's place on screen depends on its depth alone, not on the units.
  const m = new ZEMMat().createPerspective(60, 1.5, 0.002, 0.5);
  const ndc = (p) => { const c = apply(m, p); return c.slice(0, 3).map((v) => v / c[3]); };
  assertArrayNear(ndc([0, 0, -0.002]).slice(2), [-1]);
  assertArrayNear(ndc([0, 0, -0.5]).slice(2), [1]);
  assertArrayNear(ndc([0.001, 0.002, -0.01]).slice(0, 2), ndc([1000, 2000, -10000]).slice(0, 2));
  for (const args of [[45, 1.5, 5, 5], [0, 1.5, 1, 10], [45, 0, 1, 10]]) {
    const m = fromArray(FIELDS.map(() => 3)).createPerspective(...args);
    assert.deepEqual(arrayOf(m), IDENTITY, `arguments ${args}`);
  }
});

test('invert gives the inverse of a general matrix and leaves a singular one unchanged', () => {
  const values = [2, 0.5, -1, 0.25, 1, 3, 0, -0.5, -2, 1, 4, 1, 0.5, -3, 2, 1.5];
  const inv = fromArray(values).invert();
  assertArrayNear(multiply(fromArray(values), inv).asArray(), IDENTITY, 1e-12);
  assertArrayNear(multiply(inv, fromArray(values)).asArray(), IDENTITY, 1e-12);
  const singular = [1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 1, 5, 0, 2, 1];
  assert.deepEqual(arrayOf(fromArray(singular).invert()), singular);
});
