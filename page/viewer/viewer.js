var canvas, preview, errorText;
var usePreview = 0;
var gl, cubeMap;
var posLoc, normLoc, texLoc, CposLoc, backPosLoc;
var mvMatLoc, prMatLoc, invmvLoc, difLoc, specLoc, reflColLoc, reflLoc, transLoc, refrLoc, shineLoc, texmodeLoc, textureLoc, cubeLoc;
var CmvMatLoc, CprMatLoc, colLoc;
var vpLoc, scLoc;
var mi = [], buff = [], bl = [];
var mat = [];
var lbuff = [], lbl = [], cols = [];
var dtpts = [];
var textures = [];
var mousePressed = 0;
var ptrs = {}, nPtrs = 0;
var tapT = -1e9, tapX = 0, tapY = 0, tapAnim = 0;
var home = [];
var dpr = 1, lwMax = 1;
var prog, backProg, cProg;
var mvMatrix = new ZEMMat(), prMatrix = new ZEMMat(), invmvMatrix = new ZEMMat();
var veye = new ZEMVector(0, -10, 0), vtar = new ZEMVector(0, 0, 0), vx = new ZEMVector(1, 0, 0), vy = new ZEMVector(0, 0, -1);
var upPos = new ZEMVector(0, 0, 1), upNeg = new ZEMVector(0, 0, -1);
var va;
var vW, vH, cW, cH;
var tlcol = new ZEMVector(0, 0, 0), blcol = new ZEMVector(0, 0, 0), trcol = new ZEMVector(0, 0, 0), brcol = new ZEMVector(0, 0, 0);
var backBuff;
var animate = 1;
var needsUpdate = 1;
var bbmin = new ZEMVector(9999, 9999, 9999), bbmax = new ZEMVector(-9999, -9999, -9999);
var bc = new ZEMVector(0, 0, 0);
var scal = 1.0;
var fade = 0.0;
var shaderErr = 0;

/* Element helpers: a page may lack an element (no preview picture, no
   labels), so every lookup may find nothing. */
function zemEl(id) {
  return document.getElementById(id);
}
function zemShow(id, on) {
  var e = zemEl(id);
  if (e) {
    e.style.display = on ? "block" : "none";
  }
  return e;
}
function zemShown(e) {
  return e && e.style.display !== "none";
}
function zemStopEvent(e) {
  if (e && e.preventDefault) {
    e.preventDefault();
  }
  return false;
}
function zemRequestFrame(f) {
  var r = window.requestAnimationFrame || window.webkitRequestAnimationFrame || window.mozRequestAnimationFrame;
  if (r) {
    r.call(window, f);
  } else {
    window.setTimeout(f, 1000 / 60);
  }
}

/* The canvas fills its frame (the style sheet sizes it); its drawing
   buffer holds the frame's size in device pixels, so a sharp screen gets a
   sharp picture. The ratio stops at 2: beyond it the eye at a phone's
   distance sees little more, while the pixels to shade grow with its
   square (a 4K phone at 4 would shade four times as many as at 2). */
function zemWindowSize() {
  cW = window.innerWidth;
  cH = window.innerHeight;
  if (!cW || !cH) {
    cW = document.body.clientWidth;
    cH = document.body.clientHeight;
  }
  dpr = Math.min(window.devicePixelRatio || 1, 2);
  if (canvas) {
    var r = canvas.getBoundingClientRect();
    vW = Math.max(1, Math.round(r.width * dpr));
    vH = Math.max(1, Math.round(r.height * dpr));
    canvas.width = vW;
    canvas.height = vH;
  }
}

function zemPlaceTRL() {
  var t = zemEl("TRL");
  if (!t) {
    return;
  }
  t.style.width = (cW * 80 / 100 + 12) + "px";
  t.style.top = (cH * 18 / 100) + "px";
  t.style.borderLeft = (cW / 10) + "px solid transparent";
  t.style.borderRight = (cW / 10 - 12) + "px solid transparent";
  t.style.borderTop = (cH * 70 / 100) + "px solid black";
}

function getShader(id) {
  var s = zemEl(id);
  if (!s) {
    shaderErr = 1;
    return null;
  }
  var str = "";
  var k = s.firstChild;
  while (k) {
    if (k.nodeType === 3) {
      str += k.textContent;
    }
    k = k.nextSibling;
  }
  var shader;
  if (s.type === "x-shader/x-fragment") {
    shader = gl.createShader(gl.FRAGMENT_SHADER);
  } else if (s.type === "x-shader/x-vertex") {
    shader = gl.createShader(gl.VERTEX_SHADER);
  } else {
    shaderErr = 1;
    return null;
  }
  gl.shaderSource(shader, str);
  gl.compileShader(shader);
  if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS)) {
    shaderErr = 1;
    return null;
  }
  return shader;
}

function zemProgram(vsId, fsId) {
  var p = gl.createProgram();
  var vs = getShader(vsId);
  var fs = getShader(fsId);
  if (!vs || !fs) {
    shaderErr = 1;
    return p;
  }
  gl.attachShader(p, vs);
  gl.attachShader(p, fs);
  gl.linkProgram(p);
  if (!gl.getProgramParameter(p, gl.LINK_STATUS)) {
    shaderErr = 1;
  }
  return p;
}

function loadCubeMap() {
  var faces = [gl.TEXTURE_CUBE_MAP_POSITIVE_X, gl.TEXTURE_CUBE_MAP_NEGATIVE_X, gl.TEXTURE_CUBE_MAP_POSITIVE_Y,
    gl.TEXTURE_CUBE_MAP_NEGATIVE_Y, gl.TEXTURE_CUBE_MAP_POSITIVE_Z, gl.TEXTURE_CUBE_MAP_NEGATIVE_Z];
  cubeMap = gl.createTexture();
  gl.bindTexture(gl.TEXTURE_CUBE_MAP, cubeMap);
  gl.texParameteri(gl.TEXTURE_CUBE_MAP, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
  gl.texParameteri(gl.TEXTURE_CUBE_MAP, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
  gl.texParameteri(gl.TEXTURE_CUBE_MAP, gl.TEXTURE_MIN_FILTER, gl.LINEAR);
  gl.texParameteri(gl.TEXTURE_CUBE_MAP, gl.TEXTURE_MAG_FILTER, gl.LINEAR);
  gl.pixelStorei(gl.UNPACK_FLIP_Y_WEBGL, true);
  for (var i = 0; i < 6; i++) {
    var img = zemEl("cube" + (i + 1));
    if (img) {
      gl.texImage2D(faces[i], 0, gl.RGBA, gl.RGBA, gl.UNSIGNED_BYTE, img);
    }
  }
}

function initWebGL() {
  canvas = zemEl("WebGLCanvas");
  preview = zemEl("GLPreview");
  errorText = zemEl("ErrorText");
  zemShow("Fold", true);
  if (errorText) {
    errorText.innerHTML = "<h2>Please open HTML page in a WebGL&trade; capable browser to view it correctly ! </h2>"
      + "<h3>More information available at <a href=\"https://zem-webgl.example.com/webgl-support/\">&raquo;ZEM WebGL support</a>"
      + " and <a href=\"https://get.webgl.org/\">&raquo;get.webgl.org</a></h3>";
  }
  zemWindowSize();
  if (!window.WebGLRenderingContext || !canvas || !canvas.getContext) {
    usePreview = 1;
    return;
  }
  var names = ["webgl", "experimental-webgl", "moz-webgl", "webkit-3d"];
  gl = null;
  for (var n = 0; n < names.length && !gl; n++) {
    try {
      gl = canvas.getContext(names[n], { antialias: true, stencil: false });
    } catch (ex) {
      gl = null;
    }
  }
  if (!gl) {
    usePreview = 1;
    return;
  }

  gl.viewport(0, 0, vW, vH);
  backProg = zemProgram("back-vs", "back-fs");
  backPosLoc = gl.getAttribLocation(backProg, "aPos");
  if (typeof initBack === "function") {
    initBack(tlcol, blcol, trcol, brcol);
  }
  vpLoc = gl.getUniformLocation(backProg, "viewport");
  scLoc = gl.getUniformLocation(backProg, "scal");
  gl.useProgram(backProg);
  gl.uniform4f(gl.getUniformLocation(backProg, "topLeftColor"), tlcol.x, tlcol.y, tlcol.z, 1);
  gl.uniform4f(gl.getUniformLocation(backProg, "bottomLeftColor"), blcol.x, blcol.y, blcol.z, 1);
  gl.uniform4f(gl.getUniformLocation(backProg, "topRightColor"), trcol.x, trcol.y, trcol.z, 1);
  gl.uniform4f(gl.getUniformLocation(backProg, "bottomRightColor"), brcol.x, brcol.y, brcol.z, 1);
  gl.uniform2f(vpLoc, vW, vH);

  cProg = zemProgram("c-vs", "c-fs");
  CposLoc = gl.getAttribLocation(cProg, "aPos");
  colLoc = gl.getUniformLocation(cProg, "color");
  CmvMatLoc = gl.getUniformLocation(cProg, "mvMatrix");
  CprMatLoc = gl.getUniformLocation(cProg, "prMatrix");

  loadCubeMap();

  prog = zemProgram("mat-vs", "mat-fs");
  posLoc = gl.getAttribLocation(prog, "aPos");
  normLoc = gl.getAttribLocation(prog, "aNorm");
  texLoc = gl.getAttribLocation(prog, "aTex");

  if (typeof initVB === "function") {
    initVB(gl, posLoc, normLoc, texLoc, mi, buff, bl, mat, bbmin, bbmax);
  }
  if (typeof initCurves === "function") {
    initCurves(gl, CposLoc, cols, lbuff, lbl, bbmin, bbmax);
  }
  if (typeof initDots === "function") {
    initDots(dtpts);
  }
  if (typeof initView === "function") {
    va = initView(veye, vtar, vx, vy);
  }
  if (!(va > 0 && va < 180)) {
    va = 45;
  }
  if (typeof initTextures === "function") {
    initTextures(textures);
  }

  for (var v = 0; v < 4; v++) {
    home.push(new ZEMVector(0, 0, 0).set([veye, vtar, vx, vy][v]));
  }
  bc.set(bbmin).add(bbmax).mul(0.5);
  lwMax = gl.getParameter(gl.ALIASED_LINE_WIDTH_RANGE)[1] || 1;

  mvMatLoc = gl.getUniformLocation(prog, "mvMatrix");
  prMatLoc = gl.getUniformLocation(prog, "prMatrix");
  difLoc = gl.getUniformLocation(prog, "difCol");
  specLoc = gl.getUniformLocation(prog, "specCol");
  cubeLoc = gl.getUniformLocation(prog, "envCube");
  reflLoc = gl.getUniformLocation(prog, "refl");
  transLoc = gl.getUniformLocation(prog, "trans");
  refrLoc = gl.getUniformLocation(prog, "refr");
  shineLoc = gl.getUniformLocation(prog, "shine");
  reflColLoc = gl.getUniformLocation(prog, "reflCol");
  invmvLoc = gl.getUniformLocation(prog, "invmv");
  texmodeLoc = gl.getUniformLocation(prog, "texmode");
  textureLoc = gl.getUniformLocation(prog, "tex");

  backBuff = gl.createBuffer();
  gl.bindBuffer(gl.ARRAY_BUFFER, backBuff);
  gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, -1, 0, -1, 1, 0, 1, 1, 0]), gl.STATIC_DRAW);

  gl.enable(gl.DEPTH_TEST);
  gl.depthFunc(gl.LEQUAL);
  gl.clearDepth(1);
  gl.clearColor(0.47, 0.47, 0.47, 0);
  if (lbuff.length > 0) {
    gl.enable(gl.POLYGON_OFFSET_FILL);
    gl.polygonOffset(2, 3);
  }

  if (shaderErr) {
    usePreview = 1;
    return;
  }

  if (errorText) {
    errorText.style.display = "none";
  }
  if (preview) {
    preview.style.display = "none";
  }
  zemShow("BX", true);
  zemShow("TRL", true);
  zemPlaceTRL();
  zemShow("Edge", true);
  zemShow("Icon", true);
  var pe = window.PointerEvent ? "pointer" : "mouse";
  canvas.addEventListener(pe + "down", OnPointerDown, false);
  window.addEventListener(pe + "move", OnPointerMove, false);
  window.addEventListener(pe + "up", OnPointerUp, false);
  window.addEventListener("pointercancel", OnPointerUp, false);
  canvas.addEventListener("wheel", OnWheel, { passive: false });
  canvas.addEventListener("keydown", OnKeyDown, false);
  canvas.oncontextmenu = zemStopEvent;
  canvas.onmousedown = zemMiddle;
  needsUpdate = 1;
  zemRequestFrame(renderAnim);
}

function renderAnim() {
  if (animate !== 0) {
    doRotY(animate * 0.05);
  }
  zemRequestFrame(renderAnim);
  if (Math.min(window.devicePixelRatio || 1, 2) !== dpr) {
    OnResize();
  }
  if (fade !== 0) {
    scal += fade;
    if (scal <= 0) {
      scal = 0;
      fade = 0;
    } else if (scal >= 1) {
      scal = 1;
      fade = 0;
    }
    needsUpdate = 1;
  }
  doRepaint();
}

/* Rebuilds the camera frame after a rotation, keeping world z upright. */
function zemFrame() {
  var z = new ZEMVector(veye.x - vtar.x, veye.y - vtar.y, veye.z - vtar.z).norm();
  var x;
  if (Math.abs(vy.z) > 0.01) {
    x = z.cross(vy.z > 0 ? upPos : upNeg);
  } else {
    x = z.cross(vy);
  }
  x.norm();
  var y = z.cross(x).mul(-1).norm();
  vy.set(y);
  vx.set(x);
  needsUpdate = 1;
}

function doRotX(ang) {
  if (ang === 0) {
    return;
  }
  var axis = new ZEMVector(vx.x, vx.y, vx.z);
  vy.rot(ang, axis);
  veye.sub(bc).rot(ang, axis).add(bc);
  vtar.sub(bc).rot(ang, axis).add(bc);
  zemFrame();
}

function doRotY(ang) {
  veye.sub(bc).rot(ang, upPos).add(bc);
  vtar.sub(bc).rot(ang, upPos).add(bc);
  zemFrame();
}

/* Moves eye and target along the line from the pivot: f = -0.5 halves the
   distance, 0.5 makes it half as far again. */
function zemZoom(f) {
  var d = new ZEMVector(veye.x - bc.x, veye.y - bc.y, veye.z - bc.z).mul(f);
  veye.add(d);
  vtar.add(d);
  needsUpdate = 1;
}

/* Moves eye, target and pivot across the view so that what lies at the
   pivot's depth follows the pointer by (dx, dy) CSS pixels. */
function zemPan(dx, dy) {
  var f = new ZEMVector(vtar.x - veye.x, vtar.y - veye.y, vtar.z - veye.z).norm();
  var s = f.cross(vy).norm();
  var u = s.cross(f);
  var depth = Math.abs((bc.x - veye.x) * f.x + (bc.y - veye.y) * f.y + (bc.z - veye.z) * f.z);
  var k = 2 * depth * Math.tan(va * Math.PI / 360) / (vH / dpr);
  var m = s.mul(-dx * k).add(u.mul(dy * k));
  veye.add(m);
  vtar.add(m);
  bc.add(m);
  needsUpdate = 1;
}

/* Back to the view the page was exported with. */
function zemHome() {
  veye.set(home[0]);
  vtar.set(home[1]);
  vx.set(home[2]);
  vy.set(home[3]);
  bc.set(bbmin).add(bbmax).mul(0.5);
  needsUpdate = 1;
}

function zemToggle() {
  animate = animate === 0 ? 1 : -animate;
}

/* Mouse, pen and touch alike, by pointer: a press starts or reverses the
   turntable, a second press within 350 ms and 25 pixels (a double click or
   tap) returns to the exported view with the turntable as it was before
   the first. The canvas captures the pointer, so a drag ends where it is
   released, also outside the canvas or the window; a second finger makes
   the drag a pinch and pan, a third is ignored. */
function OnPointerDown(e) {
  if (ptrs[e.pointerId] || nPtrs >= 2) {
    return true;
  }
  if (canvas.setPointerCapture && e.pointerId !== undefined) {
    try {
      canvas.setPointerCapture(e.pointerId);
    } catch (ex) {
    }
  }
  var mouse = !e.pointerType || e.pointerType === "mouse";
  ptrs[e.pointerId] = { x: e.clientX, y: e.clientY, moved: mouse };
  nPtrs++;
  if (nPtrs === 1) {
    mousePressed = e.button + 1;
    if (e.timeStamp - tapT < 350 && Math.abs(e.clientX - tapX) < 25 && Math.abs(e.clientY - tapY) < 25) {
      animate = tapAnim;
      tapT = -1e9;
      zemHome();
    } else {
      tapAnim = animate;
      tapT = e.timeStamp;
      tapX = e.clientX;
      tapY = e.clientY;
      zemToggle();
    }
  }
  return true;
}

/* A press leaves the browser's own action, focusing the canvas, but a
   middle press starts no scrolling. */
function zemMiddle(e) {
  return e.button === 1 ? zemStopEvent(e) : true;
}

/* A touch or pen contact becomes a drag only after 10 pixels, so a tap that
   wobbles is still a tap; a mouse drags from its first pixel. */
function OnPointerMove(e) {
  var p = ptrs[e.pointerId];
  if (!p) {
    return true;
  }
  if (e.buttons === 0 && (!e.pointerType || e.pointerType === "mouse")) {
    return OnPointerUp(e);
  }
  var dx = e.clientX - p.x;
  var dy = e.clientY - p.y;
  if (!p.moved && Math.abs(dx) + Math.abs(dy) < 10) {
    return zemStopEvent(e);
  }
  p.moved = true;
  if (nPtrs === 2) {
    for (var id in ptrs) {
      var q = ptrs[id];
      if (q !== p) {
        var d0 = Math.sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y));
        var d1 = Math.sqrt((e.clientX - q.x) * (e.clientX - q.x) + (e.clientY - q.y) * (e.clientY - q.y));
        if (d0 > 0 && d1 > 0) {
          zemZoom(d0 / d1 - 1);
        }
        zemPan(dx / 2, dy / 2);
      }
    }
  } else if (mousePressed === 2) {
    zemZoom(dy / 90);
  } else if (e.shiftKey) {
    zemPan(dx, dy);
  } else {
    doRotX(dy / 3);
    doRotY(-dx / 3);
  }
  animate = 0;
  tapT = -1e9;
  p.x = e.clientX;
  p.y = e.clientY;
  return zemStopEvent(e);
}

function OnPointerUp(e) {
  if (!ptrs[e.pointerId]) {
    return true;
  }
  delete ptrs[e.pointerId];
  nPtrs--;
  if (nPtrs === 0) {
    mousePressed = 0;
  }
  return zemStopEvent(e);
}

/* The wheel in pixels, a line taken as a third of a notch (100 pixels) and
   a page as eight notches; a notch moves the eye 13% nearer or further. At
   most half way to the pivot or half as far again per event: a large step
   would carry the eye through the pivot, or far away. */
function OnWheel(e) {
  var mode = e.deltaMode;
  var dy = e.deltaY * (mode === 1 ? 100 / 3 : mode === 2 ? 800 : 1) / 750;
  zemZoom(Math.max(-0.5, Math.min(0.5, dy)));
  return zemStopEvent(e);
}

/* Arrow keys turn by 5 degrees (with Shift they pan), + and - zoom as a
   wheel notch does, space starts or reverses the turntable, Home returns to
   the exported view. Keys with Ctrl, Alt or Meta stay the browser's. */
function OnKeyDown(e) {
  var k = e.key;
  var arrow = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] }[k];
  if (e.ctrlKey || e.altKey || e.metaKey) {
    return true;
  }
  if (arrow && e.shiftKey) {
    zemPan(arrow[0] * 20, arrow[1] * 20);
  } else if (arrow) {
    doRotX(arrow[1] * 5);
    doRotY(-arrow[0] * 5);
    animate = 0;
  } else if (k === "+" || k === "=") {
    zemZoom(-0.4 / 3);
  } else if (k === "-" || k === "_") {
    zemZoom(0.4 / 3);
  } else if (k === " ") {
    zemToggle();
  } else if (k === "Home") {
    zemHome();
  } else {
    return true;
  }
  return zemStopEvent(e);
}

function OnResize() {
  zemWindowSize();
  zemPlaceTRL();
  needsUpdate = 1;
}

function OnHelp(e) {
  zemStopEvent(e);
  if (usePreview === 1) {
    var help = zemEl("HelpText");
    var showPic = preview && !zemShown(preview);
    if (preview) {
      preview.style.display = showPic ? "block" : "none";
    }
    if (help) {
      help.style.display = showPic ? "none" : "block";
    }
    return false;
  }
  if (fade !== 0) {
    return false;
  }
  var edge = zemEl("Edge");
  if (edge) {
    edge.style.zIndex = 1;
  }
  if (scal >= 1) {
    fade = -0.02;
  } else if (scal <= 0) {
    fade = 0.02;
  }
  return false;
}

/* Near and far planes from the scene box, by depth along the view
   direction (positive in front of the eye). A box reaching behind the eye
   brings near down to far / 1000, its floor; a margin of 1% on either side
   keeps faces on the box from being clipped by rounding. */
function zemClipPlanes() {
  var dir = new ZEMVector(vtar.x - veye.x, vtar.y - veye.y, vtar.z - veye.z).norm();
  var pts = [];
  if (bbmin.x <= bbmax.x && bbmin.y <= bbmax.y && bbmin.z <= bbmax.z) {
    for (var i = 0; i < 8; i++) {
      pts.push(new ZEMVector(i & 1 ? bbmax.x : bbmin.x, i & 2 ? bbmax.y : bbmin.y, i & 4 ? bbmax.z : bbmin.z));
    }
  } else {
    pts.push(vtar);
  }
  var near = Infinity, far = -Infinity;
  for (var k = 0; k < pts.length; k++) {
    var d = (pts[k].x - veye.x) * dir.x + (pts[k].y - veye.y) * dir.y + (pts[k].z - veye.z) * dir.z;
    if (d < near) {
      near = d;
    }
    if (d > far) {
      far = d;
    }
  }
  if (!(far > 0) || !isFinite(far) || !isFinite(near)) {
    far = 1;
  }
  far = far * 1.01;
  near = near * 0.99;
  if (!(near >= far / 1000)) {
    near = far / 1000;
  }
  if (far <= near * 1.001) {
    near = near * 0.5;
    far = far * 2;
  }
  return [near, far];
}

function zemUseMaterial(m) {
  var o = m * 15;
  gl.uniform3f(difLoc, mat[o], mat[o + 1], mat[o + 2]);
  gl.uniform3f(specLoc, mat[o + 3], mat[o + 4], mat[o + 5]);
  gl.uniform3f(reflColLoc, mat[o + 6], mat[o + 7], mat[o + 8]);
  gl.uniform1f(reflLoc, mat[o + 9]);
  gl.uniform1f(transLoc, mat[o + 10]);
  gl.uniform1f(refrLoc, mat[o + 11]);
  gl.uniform1f(shineLoc, mat[o + 12]);
}

function zemDrawMeshes(transparent) {
  for (var i = 0; i < buff.length; i++) {
    var o = mi[i] * 15;
    if ((mat[o + 10] > 0) !== transparent) {
      continue;
    }
    gl.bindBuffer(gl.ARRAY_BUFFER, buff[i]);
    var mode = mat[o + 13];
    var tn = mat[o + 14];
    if (mode > 0 && tn >= 0) {
      gl.vertexAttribPointer(posLoc, 3, gl.FLOAT, false, 32, 0);
      gl.vertexAttribPointer(normLoc, 3, gl.FLOAT, false, 32, 12);
      if (texLoc >= 0) {
        gl.enableVertexAttribArray(texLoc);
        gl.vertexAttribPointer(texLoc, 2, gl.FLOAT, false, 32, 24);
      }
      gl.activeTexture(gl.TEXTURE1);
      gl.bindTexture(gl.TEXTURE_2D, textures[tn] || null);
      gl.activeTexture(gl.TEXTURE0);
      if (!textures[tn]) {
        mode = 0;
      }
    } else {
      gl.vertexAttribPointer(posLoc, 3, gl.FLOAT, false, 24, 0);
      gl.vertexAttribPointer(normLoc, 3, gl.FLOAT, false, 24, 12);
      if (texLoc >= 0) {
        gl.disableVertexAttribArray(texLoc);
      }
      mode = 0;
    }
    zemUseMaterial(mi[i]);
    gl.uniform1i(texmodeLoc, mode);
    gl.drawArrays(gl.TRIANGLES, 0, bl[i] * 3);
  }
}

function zemDrawBack(s) {
  gl.useProgram(backProg);
  gl.bindBuffer(gl.ARRAY_BUFFER, backBuff);
  gl.enableVertexAttribArray(backPosLoc);
  gl.vertexAttribPointer(backPosLoc, 3, gl.FLOAT, false, 12, 0);
  gl.uniform2f(vpLoc, vW, vH);
  gl.uniform1f(scLoc, s);
  gl.drawArrays(gl.TRIANGLES, 0, 6);
  gl.disableVertexAttribArray(backPosLoc);
}

function doRepaint() {
  if (needsUpdate !== 1) {
    return;
  }
  /* While the page is turned, clicks and taps go to what lies under the
     canvas: the turned corner and the help side. */
  canvas.style.pointerEvents = scal < 1 ? "none" : "";
  if (scal < 1) {
    var w = (vW / dpr * (1 - scal) + 12) + "px";
    var h = (vH / dpr * (1 - scal) + 12) + "px";
    var ids = ["edge", "edge1"];
    for (var j = 0; j < ids.length; j++) {
      var c = zemEl(ids[j]);
      if (c) {
        c.style.width = w;
        c.style.height = h;
      }
    }
    zemShow("Edge", true);
    zemShow("Icon", true);
    zemShow("Fold", false);
  } else {
    var edge = zemShow("Edge", false);
    if (edge) {
      edge.style.zIndex = 4;
    }
    zemShow("Icon", false);
    zemShow("Fold", true);
  }
  if (scal <= 0) {
    return;
  }
  needsUpdate = 0;
  gl.viewport(0, 0, vW, vH);
  gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);

  gl.disable(gl.DEPTH_TEST);
  zemDrawBack(1);
  gl.enable(gl.DEPTH_TEST);
  gl.colorMask(true, true, true, false);

  mvMatrix.createLookAt(veye, vtar, vy);
  invmvMatrix.set(mvMatrix).invert();
  var planes = zemClipPlanes();
  prMatrix.createPerspective(va, vW / vH, planes[0], planes[1]);

  if (scal >= 1) {
    project(mvMatrix, prMatrix, vW / dpr, vH / dpr);
  } else {
    for (var n = 0; n * 3 < dtpts.length; n++) {
      zemShow("dot" + (n + 1), false);
    }
  }

  if (buff.length > 0) {
    gl.useProgram(prog);
    gl.uniformMatrix4fv(mvMatLoc, false, new Float32Array(mvMatrix.asArray()));
    gl.uniformMatrix4fv(prMatLoc, false, new Float32Array(prMatrix.asArray()));
    gl.uniformMatrix4fv(invmvLoc, false, new Float32Array(invmvMatrix.asArray()));
    gl.enableVertexAttribArray(posLoc);
    gl.enableVertexAttribArray(normLoc);
    gl.uniform1i(cubeLoc, 0);
    gl.uniform1i(textureLoc, 1);
    gl.activeTexture(gl.TEXTURE0);
    gl.bindTexture(gl.TEXTURE_CUBE_MAP, cubeMap);
    zemDrawMeshes(false);
    gl.enable(gl.BLEND);
    gl.blendFunc(gl.SRC_ALPHA, gl.ONE_MINUS_SRC_ALPHA);
    zemDrawMeshes(true);
    gl.disable(gl.BLEND);
    gl.disableVertexAttribArray(posLoc);
    gl.disableVertexAttribArray(normLoc);
    if (texLoc >= 0) {
      gl.disableVertexAttribArray(texLoc);
    }
  }

  if (lbuff.length > 0) {
    gl.useProgram(cProg);
    gl.uniformMatrix4fv(CmvMatLoc, false, new Float32Array(mvMatrix.asArray()));
    gl.uniformMatrix4fv(CprMatLoc, false, new Float32Array(prMatrix.asArray()));
    gl.enableVertexAttribArray(CposLoc);
    gl.lineWidth(Math.min(dpr, lwMax));
    for (var i = 0; i < lbuff.length; i++) {
      gl.bindBuffer(gl.ARRAY_BUFFER, lbuff[i]);
      gl.vertexAttribPointer(CposLoc, 3, gl.FLOAT, false, 12, 0);
      gl.uniform3f(colLoc, cols[i * 3], cols[i * 3 + 1], cols[i * 3 + 2]);
      gl.drawArrays(gl.LINE_STRIP, 0, lbl[i]);
    }
    gl.disableVertexAttribArray(CposLoc);
  }

  gl.colorMask(true, true, true, true);

  if (scal < 1) {
    gl.disable(gl.DEPTH_TEST);
    zemDrawBack(scal < 0.02 ? 0 : scal);
  }
  gl.flush();
}

/* Places each text-dot label at its point's position on the canvas (w and
   h its size in CSS pixels); a label whose point is behind the eye or off
   the canvas is hidden. */
function project(model, proj, w, h) {
  for (var i = 0; i * 3 < dtpts.length; i++) {
    var lab = zemEl("dot" + (i + 1));
    if (!lab) {
      continue;
    }
    var x = dtpts[i * 3], y = dtpts[i * 3 + 1], z = dtpts[i * 3 + 2];
    var tx = model.m00 * x + model.m10 * y + model.m20 * z + model.m30;
    var ty = model.m01 * x + model.m11 * y + model.m21 * z + model.m31;
    var tz = model.m02 * x + model.m12 * y + model.m22 * z + model.m32;
    var tw = model.m03 * x + model.m13 * y + model.m23 * z + model.m33;
    var rx = proj.m00 * tx + proj.m10 * ty + proj.m20 * tz + proj.m30 * tw;
    var ry = proj.m01 * tx + proj.m11 * ty + proj.m21 * tz + proj.m31 * tw;
    var rw = proj.m03 * tx + proj.m13 * ty + proj.m23 * tz + proj.m33 * tw;
    var sx = (rx / rw + 1) / 2 * w;
    var sy = (1 - ry / rw) / 2 * h;
    if (tz < 0 && rw > 0 && sx > 0 && sx < w && sy > 0 && sy < h) {
      lab.style.left = sx + "px";
      lab.style.top = sy + "px";
      lab.style.display = "block";
    } else {
      lab.style.display = "none";
    }
  }
}
