function ZEMVector(x, y, z) {
  this.x = x;
  this.y = y;
  this.z = z;
}
