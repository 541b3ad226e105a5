function ZEMVector(x, y, z) {
  this.x = x;
  this.y = y;
  this.z = z;
}
ZEMVector.prototype.set = function (v) {
  this.x = v.x;
  this.y = v.y;
  this.z = v.z;
  return this;
};
ZEMVector.prototype.cross = function (v) {
  return new ZEMVector(this.y * v.z - this.z * v.y, this.z * v.x - this.x * v.z, this.x * v.y - this.y * v.x);
};
ZEMVector.prototype.length = function () {
  return Math.sqrt(this.x * this.x + this.y * this.y + this.z * this.z);
};
ZEMVector.prototype.norm = function () {
  var l = this.length();
  if (l === 0) {
    this.x = 0;
    this.y = 0;
    this.z = 1;
  } else if (l !== 1) {
    this.x /= l;
    this.y /= l;
    this.z /= l;
  }
  return this;
};
ZEMVector.prototype.dot = function (v) {
  return this.x * v.x + this.y * v.y + this.z * v.z;
};
/* Rodrigues rotation about the unit axis, angle in degrees. */
ZEMVector.prototype.rot = function (ang, axis) {
  var a = ang * Math.PI / 180;
  var c = Math.cos(a);
  var s = Math.sin(a);
  var t = 1 - c;
  var ux = axis.x;
  var uy = axis.y;
  var uz = axis.z;
  var x = this.x;
  var y = this.y;
  var z = this.z;
  this.x = (c + t * ux * ux) * x + (t * ux * uy - s * uz) * y + (t * ux * uz + s * uy) * z;
  this.y = (t * uy * ux + s * uz) * x + (c + t * uy * uy) * y + (t * uy * uz - s * ux) * z;
  this.z = (t * uz * ux - s * uy) * x + (t * uz * uy + s * ux) * y + (c + t * uz * uz) * z;
  return this;
};
ZEMVector.prototype.mul = function (s) {
  this.x *= s;
  this.y *= s;
  this.z *= s;
  return this;
};
ZEMVector.prototype.add = function (v) {
  this.x += v.x;
  this.y += v.y;
  this.z += v.z;
  return this;
};
ZEMVector.prototype.sub = function (v) {
  this.x -= v.x;
  this.y -= v.y;
  this.z -= v.z;
  return this;
};
