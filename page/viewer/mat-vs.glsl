attribute vec3 aPos;
attribute vec3 aNorm;
attribute vec2 aTex;
uniform mat4 mvMatrix;
uniform mat4 prMatrix;
varying vec3 norm;
varying vec3 worldEye;
varying vec2 texc;
void main() {
  vec4 p = mvMatrix * vec4(aPos, 1.0);
  gl_Position = prMatrix * p;
  norm = (mvMatrix * vec4(aNorm, 0.0)).xyz;
  worldEye = p.xyz / p.w;
  texc = aTex;
}
