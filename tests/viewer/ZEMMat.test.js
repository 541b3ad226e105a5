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

test.describe('a new matrix and asArray', () => {
  test('a new matrix is the identity', () => {
    assert.deepEqual(arrayOf(new ZEMMat()), IDENTITY);
  });
  test('asArray gives the columns one after the other, translation last', () => {
    const values = FIELDS.map((_, i) => i + 1);
    assert.deepEqual(arrayOf(fromArray(values)), values);
    const m = new ZEMMat();
    m.m30 = 5; m.m31 = 6; m.m32 = 7;
    assertArrayNear(apply(m, [1, 1, 1]), [6, 7, 8, 1]);
  });
});

test.describe('createLookAt', () => {
  const eye = v(0, -10, 0);
  const m = new ZEMMat().createLookAt(eye, v(0, 0, 0), v(0, 0, 1));

  test('puts the eye at the origin and the target straight ahead on -z', () => {
    assertArrayNear(apply(m, [0, -10, 0]), [0, 0, 0, 1]);
    assertArrayNear(apply(m, [0, 0, 0]), [0, 0, -10, 1]);
  });
  test('world up is screen up and the right side is screen right', () => {
    assertArrayNear(apply(m, [0, 0, 1]), [0, 1, -10, 1]);
    assertArrayNear(apply(m, [1, 0, 0]), [1, 0, -10, 1]);
  });
  test('an up vector not square to the view is straightened', () => {
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
  test('starts from the identity whatever the matrix held', () => {
    const dirty = fromArray(FIELDS.map(() => 9));
    dirty.createLookAt(eye, v(0, 0, 0), v(0, 0, 1));
    assert.deepEqual(arrayOf(dirty), arrayOf(m));
  });
});

test.describe('createPerspective', () => {
  test('fills the frustum terms and keeps m33 at 1', () => {
    const m = new ZEMMat().createPerspective(90, 2, 1, 11);
    assertArrayNear(m.asArray(), [0.5, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1.2, -1, 0, 0, -2.2, 1]);
  });
  test('the field of view is the full vertical angle', () => {
    const m = new ZEMMat().createPerspective(60, 1, 0.5, 100);
    assert.ok(Math.abs(m.m11 - Math.sqrt(3)) < 1e-12, `m11 ${m.m11}`);
  });
  test('stays the identity when an argument is degenerate', () => {
    for (const args of [[45, 1.5, 5, 5], [0, 1.5, 1, 10], [45, 0, 1, 10]]) {
      const m = fromArray(FIELDS.map(() => 3)).createPerspective(...args);
      assert.deepEqual(arrayOf(m), IDENTITY, `arguments ${args}`);
    }
  });
});

test.describe('invert', () => {
  test('gives the inverse of a general matrix', () => {
    const values = [2, 0.5, -1, 0.25, 1, 3, 0, -0.5, -2, 1, 4, 1, 0.5, -3, 2, 1.5];
    const m = fromArray(values);
    const inv = fromArray(values).invert();
    assertArrayNear(multiply(m, inv).asArray(), IDENTITY, 1e-12);
    assertArrayNear(multiply(inv, m).asArray(), IDENTITY, 1e-12);
  });
  test('undoes a view: the inverse look-at maps the origin to the eye', () => {
    const view = new ZEMMat().createLookAt(v(3, -7, 2), v(0.5, 1, -1), v(0, 0, 1));
    const inv = new ZEMMat().set(view).invert();
    assertArrayNear(apply(inv, [0, 0, 0]), [3, -7, 2, 1], 1e-12);
  });
  test('leaves a singular matrix unchanged', () => {
    const values = [1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 1, 5, 0, 2, 1];
    const m = fromArray(values).invert();
    assert.deepEqual(arrayOf(m), values);
    const flat = new ZEMMat();
    flat.m22 = 0;
    assert.deepEqual(arrayOf(flat.invert()), [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1]);
  });
});
