/* 4 x 4 matrix; mij is the entry in column i, row j. */
function ZEMMat() {
  this.identity();
}
ZEMMat.prototype.identity = function () {
  this.m00 = 1; this.m01 = 0; this.m02 = 0; this.m03 = 0;
  this.m10 = 0; this.m11 = 1; this.m12 = 0; this.m13 = 0;
  this.m20 = 0; this.m21 = 0; this.m22 = 1; this.m23 = 0;
  this.m30 = 0; this.m31 = 0; this.m32 = 0; this.m33 = 1;
  return this;
};
ZEMMat.prototype.asArray = function () {
  return [this.m00, this.m01, this.m02, this.m03, this.m10, this.m11, this.m12, this.m13,
    this.m20, this.m21, this.m22, this.m23, this.m30, this.m31, this.m32, this.m33];
};
ZEMMat.prototype.createLookAt = function (eye, target, up) {
  this.identity();
  var f = new ZEMVector(target.x - eye.x, target.y - eye.y, target.z - eye.z).norm();
  var u = new ZEMVector(up.x, up.y, up.z).norm();
  var s = f.cross(u).norm();
  var u1 = s.cross(f).norm();
  this.m00 = s.x; this.m10 = s.y; this.m20 = s.z;
  this.m01 = u1.x; this.m11 = u1.y; this.m21 = u1.z;
  this.m02 = -f.x; this.m12 = -f.y; this.m22 = -f.z;
  this.m30 = -eye.dot(s);
  this.m31 = -eye.dot(u1);
  this.m32 = eye.dot(f);
  return this;
};
/* A true perspective: the clip w is the depth (m23 = -1, m33 = 0), so a
   model is drawn at the same size whatever its units. */
ZEMMat.prototype.createPerspective = function (fov, aspect, zN, zF) {
  this.identity();
  var r = fov / 360 * Math.PI;
  var d = zF - zN;
  var sr = Math.sin(r);
  if (d === 0 || sr === 0 || aspect === 0) {
    return this;
  }
  var cot = Math.cos(r) / sr;
  this.m00 = cot / aspect;
  this.m11 = cot;
  this.m22 = -(zF + zN) / d;
  this.m23 = -1;
  this.m32 = -(2 * zF * zN) / d;
  this.m33 = 0;
  return this;
};
ZEMMat.prototype.invert = function () {
  var a00 = this.m00, a01 = this.m01, a02 = this.m02, a03 = this.m03;
  var a10 = this.m10, a11 = this.m11, a12 = this.m12, a13 = this.m13;
  var a20 = this.m20, a21 = this.m21, a22 = this.m22, a23 = this.m23;
  var a30 = this.m30, a31 = this.m31, a32 = this.m32, a33 = this.m33;
  var b00 = a00 * a11 - a01 * a10;
  var b01 = a00 * a12 - a02 * a10;
  var b02 = a00 * a13 - a03 * a10;
  var b03 = a01 * a12 - a02 * a11;
  var b04 = a01 * a13 - a03 * a11;
  var b05 = a02 * a13 - a03 * a12;
  var b06 = a20 * a31 - a21 * a30;
  var b07 = a20 * a32 - a22 * a30;
  var b08 = a20 * a33 - a23 * a30;
  var b09 = a21 * a32 - a22 * a31;
  var b10 = a21 * a33 - a23 * a31;
  var b11 = a22 * a33 - a23 * a32;
  var det = b00 * b11 - b01 * b10 + b02 * b09 + b03 * b08 - b04 * b07 + b05 * b06;
  if (det === 0 || !isFinite(det)) {
    return this;
  }
  var k = 1 / det;
  this.m00 = (a11 * b11 - a12 * b10 + a13 * b09) * k;
  this.m01 = (a02 * b10 - a01 * b11 - a03 * b09) * k;
  this.m02 = (a31 * b05 - a32 * b04 + a33 * b03) * k;
  this.m03 = (a22 * b04 - a21 * b05 - a23 * b03) * k;
  this.m10 = (a12 * b08 - a10 * b11 - a13 * b07) * k;
  this.m11 = (a00 * b11 - a02 * b08 + a03 * b07) * k;
  this.m12 = (a32 * b02 - a30 * b05 - a33 * b01) * k;
  this.m13 = (a20 * b05 - a22 * b02 + a23 * b01) * k;
  this.m20 = (a10 * b10 - a11 * b08 + a13 * b06) * k;
  this.m21 = (a01 * b08 - a00 * b10 - a03 * b06) * k;
  this.m22 = (a30 * b04 - a31 * b02 + a33 * b00) * k;
  this.m23 = (a21 * b02 - a20 * b04 - a23 * b00) * k;
  this.m30 = (a11 * b07 - a10 * b09 - a12 * b06) * k;
  this.m31 = (a00 * b09 - a01 * b07 + a02 * b06) * k;
  this.m32 = (a31 * b01 - a30 * b03 - a32 * b00) * k;
  this.m33 = (a20 * b03 - a21 * b01 + a22 * b00) * k;
  return this;
};
ZEMMat.prototype.set = function (m) {
  this.m00 = m.m00; this.m01 = m.m01; this.m02 = m.m02; this.m03 = m.m03;
  this.m10 = m.m10; this.m11 = m.m11; this.m12 = m.m12; this.m13 = m.m13;
  this.m20 = m.m20; this.m21 = m.m21; this.m22 = m.m22; this.m23 = m.m23;
  this.m30 = m.m30; this.m31 = m.m31; this.m32 = m.m32; this.m33 = m.m33;
  return this;
};
