precision highp float;
uniform vec4 topLeftColor;
uniform vec4 bottomLeftColor;
uniform vec4 topRightColor;
uniform vec4 bottomRightColor;
uniform vec2 viewport;
uniform float scal;
void main() {
  vec2 r = gl_FragCoord.xy / viewport;
  vec4 col = r.x * r.y * topRightColor + (1.0 - r.x) * r.y * topLeftColor
    + r.x * (1.0 - r.y) * bottomRightColor + (1.0 - r.x) * (1.0 - r.y) * bottomLeftColor;
  if (scal < 1.0) {
    if (r.x > scal && r.y > scal) {
      col = vec4(0.0, 0.0, 0.0, 0.0);
    } else {
      discard;
    }
  }
  gl_FragColor = col;
}
