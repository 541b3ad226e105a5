'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadViewerClasses } = require('./load-viewer-classes');

const { ZEMVector } = loadViewerClasses();
const v = (x, y, z) => new ZEMVector(x, y, z);

function assertNear(actual, expected, tolerance = 1e-12) {
  for (const k of ['x', 'y', 'z']) {
    assert.ok(Math.abs(actual[k] - expected[k]) <= tolerance,
      `${k}: ${actual[k]} is not ${expected[k]} (${JSON.stringify(actual)})`);
  }
}

test('norm scales to unit length, turns a zero vector into +z and leaves a unit vector bit for bit', () => {
  assertNear(v(3, 0, 4).norm(), { x: 0.6, y: 0, z: 0.8 });
  assertNear(v(0, 0, 0).norm(), { x: 0, y: 0, z: 1 }, 0);
  const s = Math.SQRT1_2;
  const unit = v(s, s, 0).norm();
  assert.deepEqual([unit.x, unit.y], [s, s]);
});

test('cross follows the right-hand rule and leaves its operands alone', () => {
  const a = v(1, 0, 0);
  assertNear(a.cross(v(0, 1, 0)), { x: 0, y: 0, z: 1 });
  assertNear(v(2, 3, 4).cross(v(5, 6, 7)), { x: -3, y: 6, z: -3 });
  assertNear(a, { x: 1, y: 0, z: 0 });
});

test('rot turns counter-clockwise about the axis, in degrees', () => {
  assertNear(v(1, 0, 0).rot(90, v(0, 0, 1)), { x: 0, y: 1, z: 0 });
  assertNear(v(0, 1, 0).rot(90, v(1, 0, 0)), { x: 0, y: 0, z: 1 });
  const s = 1 / Math.sqrt(3);
  assertNear(v(1, 0, 0).rot(120, v(s, s, s)), { x: 0, y: 1, z: 0 });
});
