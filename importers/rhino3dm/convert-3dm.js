'use strict';
// Converts a .3dm file into the host's JSON document (docs/document-format.md,
// "Documents from .3dm files") through the rhino3dm module (openNURBS as
// WebAssembly). The program runs it as a child:
//
//   node convert-3dm.js MODEL.3dm
//
// with the hand-off file open on descriptor 3 (the document is written
// there) and a pipe on descriptor 4 for lines "stage NAME" and "error TEXT".
// Exit codes: 0 written; 1 the file cannot be converted (the reason was
// said); 4 the rhino3dm module is missing.
//
// Only data is read from the file: no script, plug-in data or link in it is
// run or followed. Runs on node 18.
const fs = require('fs');
const path = require('path');

const HANDOFF_FD = 3;
const TALK_FD = 4;
const MODULE_MISSING = 4;

function say(line) {
  try {
    fs.writeSync(TALK_FD, line.replace(/\n/g, ' ') + '\n');
  } catch (e) {
    // Nobody listens: run by hand.
  }
}

function fail(why) {
  say('error ' + why);
  process.exit(1);
}

process.on('uncaughtException', (e) => fail('the .3dm converter stopped: ' + (e && e.message ? e.message : e)));

// ---------------------------------------------------------------- geometry

// 4 x 4 matrices, row-major arrays of 16.
const IDENTITY = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1];

function multiply(a, b) {
  const m = new Array(16).fill(0);
  for (let r = 0; r < 4; ++r)
    for (let c = 0; c < 4; ++c)
      for (let k = 0; k < 4; ++k) m[r * 4 + c] += a[r * 4 + k] * b[k * 4 + c];
  return m;
}

function isIdentity(m) {
  return m.every((v, i) => v === IDENTITY[i]);
}

function fromTransform(x) {
  return [x.m00, x.m01, x.m02, x.m03, x.m10, x.m11, x.m12, x.m13, x.m20, x.m21, x.m22, x.m23, x.m30, x.m31, x.m32,
    x.m33];
}

function apply(m, p) {
  const w = m[12] * p[0] + m[13] * p[1] + m[14] * p[2] + m[15];
  return [0, 1, 2].map((r) => (m[r * 4] * p[0] + m[r * 4 + 1] * p[1] + m[r * 4 + 2] * p[2] + m[r * 4 + 3]) / w);
}

// A homogeneous control point [x*w, y*w, z*w, w].
function apply4(m, p) {
  return [0, 1, 2, 3].map((r) => m[r * 4] * p[0] + m[r * 4 + 1] * p[1] + m[r * 4 + 2] * p[2] + m[r * 4 + 3] * p[3]);
}

// Normals go through the inverse transpose of the linear part.
function normalMatrix(m) {
  const a = [m[0], m[1], m[2], m[4], m[5], m[6], m[8], m[9], m[10]];
  const c = [
    a[4] * a[8] - a[5] * a[7], a[5] * a[6] - a[3] * a[8], a[3] * a[7] - a[4] * a[6],
    a[2] * a[7] - a[1] * a[8], a[0] * a[8] - a[2] * a[6], a[1] * a[6] - a[0] * a[7],
    a[1] * a[5] - a[2] * a[4], a[2] * a[3] - a[0] * a[5], a[0] * a[4] - a[1] * a[3],
  ];
  return c;  // the cofactors: the inverse transpose up to a factor
}

function applyNormal(c, n) {
  const v = [0, 1, 2].map((r) => c[r * 3] * n[0] + c[r * 3 + 1] * n[1] + c[r * 3 + 2] * n[2]);
  const l = Math.hypot(v[0], v[1], v[2]);
  return l > 0 ? v.map((x) => x / l) : [0, 0, 1];
}

function finite(p) {
  return p.every(Number.isFinite);
}

// ---------------------------------------------------------------- the reader

class Converter {
  constructor(rh, file, model) {
    this.rh = rh;
    this.file = file;
    this.model = model;
    this.notes = [];
    this.objects = [];
    this.shown = 0;
    this.skipped = {};
    this.layerMap = new Map();  // 3dm layer index -> document layer index
    this.layers = [];
    this.layerColours = [];
    this.layerMaterials = [];
    this.embedded = new Set();
  }

  note(text) {
    if (this.notes.length < 200) this.notes.push(text);
  }

  skip(kind) {
    this.skipped[kind] = (this.skipped[kind] || 0) + 1;
  }

  colour(c) {
    return c ? [c.r | 0, c.g | 0, c.b | 0].map((v) => Math.min(255, Math.max(0, v))) : [0, 0, 0];
  }

  // Material colours come as {r, g, b, a} from 0 to 255 (whatever the
  // module's typings say).
  rgb(c) {
    if (!c || typeof c !== 'object' || !Number.isFinite(c.r)) return undefined;
    return this.colour(c);
  }

  // Layers, parents before their children.
  readLayers() {
    const table = this.model.layers();
    const all = [];
    for (let i = 0; i < table.count; ++i) all.push(table.get(i));
    const byId = new Map(all.map((l, i) => [l.id, i]));
    const order = [];
    const placed = new Set();
    const place = (i, depth) => {
      if (placed.has(i) || depth > all.length) return;
      const parent = byId.get(all[i].parentLayerId);
      if (parent !== undefined && parent !== i) place(parent, depth + 1);
      placed.add(i);
      order.push(i);
    };
    for (let i = 0; i < all.length; ++i) place(i, 0);
    for (const i of order) {
      const l = all[i];
      const entry = {name: l.name || 'Layer ' + (i + 1), color: this.colour(l.color), visible: !!l.visible, locked: !!l.locked};
      const parent = byId.get(l.parentLayerId);
      if (parent !== undefined && this.layerMap.has(parent)) entry.parent = this.layerMap.get(parent);
      if (l.renderMaterialIndex >= 0 && l.renderMaterialIndex < this.materialCount) entry.material = l.renderMaterialIndex;
      this.layerMap.set(i, this.layers.length);
      this.layers.push(entry);
    }
    this.layerColours = all.map((l) => this.colour(l.color));
    this.layerMaterials = all.map((l) => l.renderMaterialIndex);
    this.layerShown = all.map((l, i) => {
      for (let at = i, depth = 0; at !== undefined && depth <= all.length; at = byId.get(all[at].parentLayerId), ++depth)
        if (!all[at].visible) return false;
      return true;
    });
    if (this.layers.length === 0) this.layers.push({name: 'Default'});
  }

  texture(t, type) {
    if (!t || !t.fileName) return null;
    const entry = {file: t.fileName, type};
    if (t.enabled === false) entry.enabled = false;
    this.embedded.add(t.fileName);
    return entry;
  }

  readMaterials() {
    const table = this.model.materials();
    this.materialCount = table.count;
    this.materials = [];
    for (let i = 0; i < table.count; ++i) {
      const m = table.get(i);
      const entry = {name: m.name || ''};
      for (const [key, value] of [['diffuse', m.diffuseColor], ['ambient', m.ambientColor],
        ['emission', m.emissionColor], ['specular', m.specularColor], ['reflection', m.reflectionColor],
        ['transparentColor', m.transparentColor]]) {
        const c = this.rgb(value);
        if (c) entry[key] = c;
      }
      const clamp = (v, hi) => Math.min(hi, Math.max(0, Number(v) || 0));
      entry.shine = clamp(m.shine, 255);
      entry.transparency = clamp(m.transparency, 1);
      entry.reflectivity = clamp(m.reflectivity, 1);
      if (m.indexOfRefraction > 0 && Number.isFinite(m.indexOfRefraction)) entry.ior = m.indexOfRefraction;
      const textures = [];
      for (const [get, type] of [['getBitmapTexture', 'bitmap'], ['getBumpTexture', 'bump'],
        ['getTransparencyTexture', 'transparency'], ['getEnvironmentTexture', 'environment']]) {
        let t = null;
        try {
          t = this.texture(m[get](), type);
        } catch (e) {
          t = null;
        }
        if (t) textures.push(t);
      }
      if (textures.length) entry.textures = textures;
      this.materials.push(entry);
    }
  }

  // Embedded files (pictures the host stored in the model), by the name the
  // textures use, base64; the program writes them out privately.
  readEmbedded() {
    const out = {};
    let paths = [];
    try {
      paths = this.model.embeddedFilePaths() || [];
    } catch (e) {
      paths = [];
    }
    for (const p of paths) {
      if (!this.embedded.has(p)) continue;
      let data = null;
      try {
        data = this.model.getEmbeddedFileAsBase64(p);
      } catch (e) {
        data = null;
      }
      if (typeof data === 'string' && data.length) out[p] = data;
    }
    return out;
  }

  // ------------------------------------------------------------ geometry

  mesh(m, xf) {
    const vertices = m.vertices();
    const n = vertices.count;
    if (n === 0) return null;
    const out = {vertices: new Array(n), faces: []};
    for (let i = 0; i < n; ++i) {
      const p = vertices.get(i);
      out.vertices[i] = xf ? apply(xf, p) : [p[0], p[1], p[2]];
    }
    if (!out.vertices.every(finite)) return null;
    const normals = m.normals();
    if (normals.count === n) {
      const c = xf ? normalMatrix(xf) : null;
      out.normals = new Array(n);
      for (let i = 0; i < n; ++i) {
        const v = normals.get(i);
        out.normals[i] = c ? applyNormal(c, v) : [v[0], v[1], v[2]];
      }
      if (!out.normals.every(finite)) delete out.normals;
    }
    const uvs = m.textureCoordinates();
    if (uvs.count === n) {
      out.uvs = new Array(n);
      for (let i = 0; i < n; ++i) {
        const t = uvs.get(i);
        out.uvs[i] = [t[0], t[1]];
      }
      if (!out.uvs.every(finite)) delete out.uvs;
    }
    const faces = m.faces();
    for (let i = 0; i < faces.count; ++i) {
      const f = faces.get(i);
      const ok = f.slice(0, 4).every((v) => Number.isInteger(v) && v >= 0 && v < n);
      if (!ok) continue;
      out.faces.push(f[2] === f[3] ? [f[0], f[1], f[2]] : [f[0], f[1], f[2], f[3]]);
    }
    return out.faces.length ? out : null;
  }

  nurbsCurve(curve, xf, reversed) {
    let nc = null;
    try {
      nc = curve.toNurbsCurve();
    } catch (e) {
      nc = null;
    }
    if (!nc) return null;
    const count = nc.points().count;
    const order = nc.order;
    let points = [];
    for (let i = 0; i < count; ++i) points.push(nc.points().get(i));
    if (xf) points = points.map((p) => apply4(xf, p));
    let knots = [];
    for (let i = 0; i < nc.knots().count; ++i) knots.push(nc.knots().get(i));
    if (reversed) {
      points.reverse();
      const last = knots[knots.length - 1], first = knots[0];
      knots = knots.reverse().map((k) => first + last - k);
    }
    const rational = points.some((p) => p[3] !== 1);
    const out = {kind: 'nurbs', degree: order - 1, points: points.map((p) => [p[0] / p[3], p[1] / p[3], p[2] / p[3]]),
      knots};
    if (rational) out.weights = points.map((p) => p[3]);
    if (!out.points.every(finite) || !knots.every(Number.isFinite) || count < order) return null;
    if (rational && !out.weights.every((w) => w > 0)) return null;
    return out;
  }

  nurbsSurface(surface, xf, reversed) {
    let ns = null;
    try {
      ns = surface.toNurbsSurface();
    } catch (e) {
      ns = null;
    }
    if (!ns) return null;
    const list = ns.points();
    const cu = list.countU, cv = list.countV;
    let rows = [];
    for (let i = 0; i < cu; ++i) {
      const row = [];
      for (let j = 0; j < cv; ++j) {
        const p = list.get(i, j);
        row.push(xf ? apply4(xf, p) : p);
      }
      rows.push(row);
    }
    const knots = (k) => {
      const out = [];
      for (let i = 0; i < k.count; ++i) out.push(k.get(i));
      return out;
    };
    let knotsU = knots(ns.knotsU());
    const knotsV = knots(ns.knotsV());
    if (reversed) {
      // A face whose normal runs against its surface's: the surface with u
      // reversed is the face as the host shows it.
      rows.reverse();
      const first = knotsU[0], last = knotsU[knotsU.length - 1];
      knotsU = knotsU.reverse().map((k) => first + last - k);
    }
    const rational = rows.some((r) => r.some((p) => p[3] !== 1));
    const out = {degree: [ns.orderU - 1, ns.orderV - 1],
      points: rows.map((r) => r.map((p) => [p[0] / p[3], p[1] / p[3], p[2] / p[3]])), knotsU, knotsV};
    if (rational) out.weights = rows.map((r) => r.map((p) => p[3]));
    if (!out.points.every((r) => r.every(finite))) return null;
    if (rational && !out.weights.every((r) => r.every((w) => w > 0))) return null;
    return out;
  }

  // A brep face by face: its cached render mesh, else its surface when it is
  // untrimmed (the host tessellates it), else its surface and edge loops for
  // the program's mesher.
  brep(brep, xf, object) {
    const faces = [];
    const faceList = brep.faces();
    const edgeList = brep.edges();
    let trimmed = 0, meshed = 0, untrimmed = 0, lost = 0;
    for (let i = 0; i < faceList.count; ++i) {
      const face = faceList.get(i);
      let m = null;
      try {
        m = face.getMesh(this.rh.MeshType.Any);
      } catch (e) {
        m = null;
      }
      const mesh = m ? this.mesh(m, xf) : null;
      if (mesh) {
        faces.push({mesh});
        ++meshed;
        continue;
      }
      const reversed = !!face.orientationIsReversed;
      let single = null;
      try {
        single = face.duplicateFace(false);
      } catch (e) {
        single = null;
      }
      const surface = this.nurbsSurface(face.underlyingSurface(), xf, reversed);
      if (!surface) {
        ++lost;
        continue;
      }
      if (single && single.isSurface) {
        faces.push({surface});
        ++untrimmed;
        continue;
      }
      const loops = [];
      const loopList = face.loops;
      for (let l = 0; l < loopList.count; ++l) {
        const loop = loopList.get(l);
        const curves = [];
        const trims = loop.trims;
        for (let t = 0; t < trims.count; ++t) {
          const trim = trims.get(t);
          if (trim.edgeIndex < 0) continue;  // a singular side
          const c = this.nurbsCurve(edgeList.get(trim.edgeIndex), xf, trim.isReversed);
          if (c) curves.push(c);
        }
        if (curves.length === 0) continue;
        // The outer loop first.
        if (loop.loopType === this.rh.BrepLoopType.Outer) loops.unshift(curves);
        else loops.push(curves);
      }
      if (loops.length === 0) {
        ++lost;
        continue;
      }
      faces.push({surface, loops, reversed});
      ++trimmed;
    }
    const edges = [];
    for (let i = 0; i < edgeList.count; ++i) {
      const c = this.nurbsCurve(edgeList.get(i), xf, false);
      if (c) edges.push(c);
    }
    if (lost) this.note(object + ': ' + lost + ' face(s) without a surface the page can use were left out');
    if (faces.length === 0) return null;
    return {type: 'brep', faces, edges};
  }

  extrusion(ext, xf, object) {
    let m = null;
    try {
      m = ext.getMesh(this.rh.MeshType.Any);
    } catch (e) {
      m = null;
    }
    let brep = null;
    try {
      brep = ext.toBrep(false);
    } catch (e) {
      brep = null;
    }
    const mesh = m ? this.mesh(m, xf) : null;
    if (mesh) {
      const edges = [];
      if (brep) {
        const list = brep.edges();
        for (let i = 0; i < list.count; ++i) {
          const c = this.nurbsCurve(list.get(i), xf, false);
          if (c) edges.push(c);
        }
      }
      return {type: 'brep', faces: [{mesh}], edges};
    }
    return brep ? this.brep(brep, xf, object) : null;
  }

  subd(subd, xf, object) {
    // The limit surface, approximated: the control net subdivided three
    // times, as a mesh.
    let m = null;
    try {
      const copy = subd.duplicate ? subd.duplicate() : subd;
      copy.subdivide(3);
      m = this.rh.Mesh.createFromSubDControlNet(copy, true);
    } catch (e) {
      m = null;
    }
    const mesh = m ? this.mesh(m, xf) : null;
    if (!mesh) return null;
    this.note(object + ': a SubD, shown as its control net subdivided three times (close to its limit surface)');
    return {type: 'mesh', mesh};
  }

  // The document's objects for one piece of geometry; null when the page
  // cannot show it.
  geometry(g, xf, object) {
    const T = this.rh.ObjectType;
    const type = g.objectType;
    if (type === T.Mesh) {
      const mesh = this.mesh(g, xf);
      return mesh ? {type: 'mesh', mesh} : null;
    }
    if (type === T.Brep) return this.brep(g, xf, object);
    if (type === T.Extrusion) return this.extrusion(g, xf, object);
    if (type === T.Surface) {
      const surface = this.nurbsSurface(g, xf, false);
      return surface ? {type: 'surface', surface} : null;
    }
    if (type === T.SubD) return this.subd(g, xf, object);
    if (type === T.Curve) {
      const curve = this.nurbsCurve(g, xf, false);
      return curve ? {type: 'curve', curve} : null;
    }
    if (type === T.TextDot) {
      const point = xf ? apply(xf, g.point) : g.point;
      return finite(point) ? {type: 'textDot', point, text: String(g.text || '')} : null;
    }
    if (type === T.Point) {
      const point = xf ? apply(xf, g.location) : g.location;
      return finite(point) ? {type: 'point', point} : null;
    }
    if (type === T.PointSet) {
      const points = (g.getPoints() || []).map((p) => (xf ? apply(xf, p) : p)).filter(finite);
      return points.length ? {type: 'pointCloud', points} : null;
    }
    return null;
  }

  kindName(g) {
    const T = this.rh.ObjectType;
    for (const key of Object.keys(T)) {
      if (key !== 'values' && T[key] === g.objectType) return key;
    }
    return 'unknown';
  }

  // Resolves where an object takes its colour and material from, as the
  // host does: by layer, by the object itself, by its material, or by its
  // parent (the block instance that holds it; the layer at the top).
  resolve(attributes, parent) {
    const layer = attributes.layerIndex >= 0 && attributes.layerIndex < this.layerColours.length ? attributes.layerIndex : 0;
    const CS = this.rh.ObjectColorSource;
    const MS = this.rh.ObjectMaterialSource;
    const layerMaterial = this.layerMaterials[layer];
    let material = -1;
    if (attributes.materialSource === MS.MaterialFromObject) material = attributes.materialIndex;
    else if (attributes.materialSource === MS.MaterialFromParent && parent) material = parent.material;
    else material = layerMaterial;
    if (!(material >= 0 && material < this.materialCount)) material = -1;
    let colour;
    let fromMaterial = false;
    if (attributes.colorSource === CS.ColorFromObject) colour = this.colour(attributes.objectColor);
    else if (attributes.colorSource === CS.ColorFromParent && parent) colour = parent.colour;
    else if (attributes.colorSource === CS.ColorFromMaterial && material >= 0) {
      colour = this.materials[material].diffuse || [128, 128, 128];
      fromMaterial = true;
    } else colour = this.layerColours[layer] || [0, 0, 0];
    return {layer, colour, material, fromMaterial};
  }

  label(attributes, g) {
    const kind = this.kindName(g);
    return attributes.name ? kind + ' "' + attributes.name + '"' : kind + ' ' + attributes.id;
  }

  add(g, attributes, xf, parent, depth) {
    const T = this.rh.ObjectType;
    const style = this.resolve(attributes, parent);
    const OM = this.rh.ObjectMode;
    const hidden = (parent && parent.hidden) || !attributes.visible || attributes.mode === OM.Hidden ||
        !this.layerShown[style.layer];
    if (g.objectType === T.InstanceReference) {
      if (depth > 32) {
        this.note(this.label(attributes, g) + ': blocks nested deeper than 32 levels left out');
        return;
      }
      const definition = this.definitions.get(g.parentIdefId);
      if (!definition) {
        this.skip('InstanceReference without its definition');
        return;
      }
      const here = multiply(xf || IDENTITY, fromTransform(g.xform));
      const inner = {colour: style.colour, material: style.material, hidden};
      for (const id of definition) {
        const o = this.byId.get(id);
        if (o) this.add(o.geometry(), o.attributes(), here, inner, depth + 1);
      }
      return;
    }
    const object = this.geometry(g, xf && !isIdentity(xf) ? xf : null, this.label(attributes, g));
    if (!object) {
      this.skip(this.kindName(g));
      return;
    }
    if (attributes.name) object.name = attributes.name;
    object.layer = this.layerMap.get(style.layer) || 0;
    object.color = style.colour;
    object.colorSource = style.fromMaterial ? 'material' : 'object';
    if (style.material >= 0) object.material = style.material;
    if (hidden) object.hidden = true;
    if (attributes.mode === OM.Locked) object.locked = true;
    if (object.type === 'brep') object.id = attributes.id;
    this.objects.push(object);
    if (!hidden) ++this.shown;
  }

  readObjects() {
    const table = this.model.objects();
    this.byId = new Map();
    const top = [];
    for (let i = 0; i < table.count; ++i) {
      const o = table.get(i);
      const a = o.attributes();
      this.byId.set(a.id, o);
      if (!a.isInstanceDefinitionObject) top.push(o);
    }
    this.definitions = new Map();
    const defs = this.model.instanceDefinitions();
    for (let i = 0; i < defs.count; ++i) {
      const d = defs.get(i);
      let ids = [];
      try {
        ids = Array.from(d.getObjectIds() || []);
      } catch (e) {
        ids = [];
      }
      this.definitions.set(d.id, ids);
    }
    for (const o of top) this.add(o.geometry(), o.attributes(), null, null, 0);
  }

  camera(vp) {
    // openNURBS marks what is unset with -1.23432e+308.
    const set = (p) => Array.isArray(p) && p.length >= 3 && p.every((v) => Number.isFinite(v) && Math.abs(v) < 1e300);
    const location = vp.cameraLocation, direction = vp.cameraDirection, up = vp.cameraUp;
    if (!set(location) || !set(direction) || !set(up)) return null;
    let target = vp.targetPoint;
    const d = Math.hypot(direction[0], direction[1], direction[2]);
    if (!(d > 0)) return null;
    const dist = set(target) ? Math.hypot(target[0] - location[0], target[1] - location[1], target[2] - location[2]) : 0;
    if (!(dist > 0)) target = location.map((v, k) => v + direction[k] / d);
    const u = Math.hypot(up[0], up[1], up[2]);
    const cross = Math.hypot(direction[1] * up[2] - direction[2] * up[1], direction[2] * up[0] - direction[0] * up[2],
        direction[0] * up[1] - direction[1] * up[0]);
    if (!(u > 0) || cross < 1e-9 * d * u) return null;
    return {location, target, up};
  }

  view(info, fallbackName) {
    let vp = null;
    try {
      vp = info.getViewport();
    } catch (e) {
      vp = null;
    }
    if (!vp) return null;
    const camera = this.camera(vp);
    if (!camera) return null;
    const view = {name: info.name || fallbackName, projection: vp.isParallelProjection ? 'parallel' : 'perspective', camera};
    const lens = vp.camera35mmLensLength;
    if (lens > 0 && Number.isFinite(lens)) view.lens = lens;
    const port = vp.screenPort;
    if (Array.isArray(port) && port.length >= 4) {
      const w = Math.abs(port[1] - port[0]), h = Math.abs(port[3] - port[2]);
      if (w >= 1 && h >= 1 && w <= 16384 && h <= 16384) view.size = [Math.round(w), Math.round(h)];
    }
    return view;
  }

  readViews() {
    const views = [];
    const first = this.model.views();
    for (let i = 0; i < first.count && views.length === 0; ++i) {
      const v = this.view(first.get(i), 'Perspective');
      if (v) views.push(v);
    }
    const named = this.model.namedViews();
    for (let i = 0; i < named.count; ++i) {
      const v = this.view(named.get(i), 'Named view ' + (i + 1));
      if (v) views.push(v);
    }
    return views;
  }

  units() {
    let s = this.model.settings().modelUnitSystem;
    const U = this.rh.UnitSystem;
    for (const key of Object.keys(U)) {
      if (key !== 'values' && key !== 'Unset' && U[key] === s) return key.toLowerCase();
    }
    return undefined;
  }
}

function writeAll(fd, text) {
  const buffer = Buffer.from(text, 'utf8');
  for (let at = 0; at < buffer.length;) at += fs.writeSync(fd, buffer, at, buffer.length - at);
}

function main() {
  const file = process.argv[2];
  if (!file) fail('usage: convert-3dm.js MODEL.3dm');
  let rhino3dm;
  try {
    rhino3dm = require('rhino3dm');
  } catch (e) {
    say('error the rhino3dm module is missing');
    process.exit(MODULE_MISSING);
  }
  say('stage reading');
  let bytes;
  try {
    bytes = fs.readFileSync(file);
  } catch (e) {
    fail('cannot read the file: ' + e.message);
  }
  // "3D Geometry File Format " opens every .3dm file.
  if (bytes.length < 32 || bytes.toString('latin1', 0, 24) !== '3D Geometry File Format ')
    fail('not a .3dm file (it does not begin as one)');
  rhino3dm().then((rh) => {
    const model = rh.File3dm.fromByteArray(new Uint8Array(bytes.buffer, bytes.byteOffset, bytes.length));
    if (!model) fail('the .3dm file cannot be read (truncated or damaged)');
    say('stage converting');
    const c = new Converter(rh, file, model);
    c.readMaterials();
    c.readLayers();
    c.readObjects();
    const skipped = Object.keys(c.skipped).sort().map((k) => c.skipped[k] + ' ' + k);
    if (c.objects.length === 0) {
      fail('nothing the page can show' + (skipped.length ? ' (the file holds only: ' + skipped.join(', ') + ')' : ' (the file holds no objects)'));
    }
    if (skipped.length) c.note('left out, as the page does not show them: ' + skipped.join(', '));
    const views = c.readViews();
    say('stage writing');
    const head = {format: 'zem-document', version: 1, title: path.basename(file).replace(/\.3dm$/i, '')};
    const units = c.units();
    if (units) head.units = units;
    if (model.createdBy) head.createdBy = String(model.createdBy);
    if (model.lastEditedBy) head.lastEditedBy = String(model.lastEditedBy);
    head.materials = c.materials;
    head.layers = c.layers;
    if (views.length) head.views = views;
    head.embeddedFiles = c.readEmbedded();
    head.readerNotes = c.notes;
    const text = JSON.stringify(head);
    writeAll(HANDOFF_FD, text.slice(0, -1) + ',"objects":[');
    c.objects.forEach((o, i) => writeAll(HANDOFF_FD, (i ? ',' : '') + JSON.stringify(o)));
    writeAll(HANDOFF_FD, ']}');
    process.exit(0);
  }, (e) => fail('the rhino3dm module cannot start: ' + (e && e.message ? e.message : e)));
}

main();
