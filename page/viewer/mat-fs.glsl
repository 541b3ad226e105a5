precision highp float;
uniform vec3 difCol;
uniform vec3 specCol;
uniform vec3 reflCol;
uniform float refl;
uniform float trans;
uniform float refr;
uniform float shine;
uniform int texmode;
uniform mat4 invmv;
uniform samplerCube envCube;
uniform sampler2D tex;
varying vec3 norm;
varying vec3 worldEye;
varying vec2 texc;
void main() {
  vec3 n = normalize(norm);
  if (!gl_FrontFacing) {
    n = -n;
  }
  float dcol = max(n.z, 0.0);
  float sdot = max(dot(n, vec3(-0.403, 0.259, 0.878)), 0.0);
  vec3 scol = vec3(0.0, 0.0, 0.0);
  if (sdot > 0.0) {
    scol = specCol * pow(sdot, shine);
  }
  vec3 e = normalize(worldEye);
  vec3 rv = (invmv * vec4(reflect(e, n), 0.0)).xyz;
  vec4 ref = textureCube(envCube, rv) * vec4(reflCol, 1.0);
  float r = refl;
  if (refr > 1.0) {
    float e1 = 1.0 / refr;
    float t1 = -dot(e, n);
    float t2 = sqrt(1.0 + (t1 * t1 - 1.0) * e1 * e1);
    float r1 = (t1 - e1 * t2) / (t1 + e1 * t2);
    float r2 = (e1 * t1 - t2) / (e1 * t1 + t2);
    r = min(1.0, r + 0.5 * (r1 * r1 + r2 * r2));
  }
  vec4 col = vec4(dcol * difCol, 1.0);
  if (texmode == 1) {
    col = col * texture2D(tex, texc);
  } else if (texmode == 2) {
    vec4 s = texture2D(tex, texc);
    col = dcol * vec4(mix(col.rgb, s.rgb, s.a), 1.0);
  }
  vec4 gloss = vec4(scol, 1.0) + r * ref;
  vec4 res = col + gloss;
  if (trans > 0.0) {
    res.a = 0.299 * gloss.r + 0.587 * gloss.g + 0.114 * gloss.b + 1.0 - trans;
  }
  gl_FragColor = res;
}
