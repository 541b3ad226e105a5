'use strict';
// Writes the .3dm test files under tests/data/3dm/ with rhino3dm (run by
// hand from the project's root: node tools/make-3dm-test-files.js). What
// each holds is listed in tests/data/3dm/README.md.
const fs = require('fs');
const path = require('path');
const rhino3dm = require('rhino3dm');

const out = path.join(__dirname, '..', 'tests', 'data', '3dm');

rhino3dm().then((rh) => {
  fs.mkdirSync(out, {recursive: true});
  const save = (doc, name) => {
    const bytes = doc.toByteArray();
    if (!bytes || !bytes.length) throw new Error('rhino3dm wrote nothing for ' + name);
    fs.writeFileSync(path.join(out, name), Buffer.from(bytes));
  };
  const colour = (r, g, b) => ({r, g, b, a: 255});
  const attributes = (layer, extra) => {
    const a = new rh.ObjectAttributes();
    a.layerIndex = layer;
    Object.assign(a, extra || {});
    return a;
  };
  const layer = (doc, name, c, visible, parentId) => {
    const l = new rh.Layer();
    l.name = name;
    l.color = c;
    l.visible = visible !== false;
    if (parentId) l.parentLayerId = parentId;
    return doc.layers().add(l);
  };
  // A bicubic patch over [x0, x0 + 4] x [0, 4], bulging in z.
  const patch = (x0, height) => {
    const s = rh.NurbsSurface.create(3, false, 4, 4, 4, 4);
    for (let i = 0; i < 4; ++i)
      for (let j = 0; j < 4; ++j) {
        const z = (i === 1 || i === 2) && (j === 1 || j === 2) ? height : 0;
        s.points().set(i, j, [x0 + (4 * i) / 3, (4 * j) / 3, z, 1]);
      }
    for (const knots of [s.knotsU(), s.knotsV()])
      for (let k = 0; k < knots.count; ++k) knots.set(k, k < 3 ? 0 : 1);
    return s;
  };
  const units = (doc, name) => {
    doc.settings().modelUnitSystem = rh.UnitSystem[name];
  };

  // A mesh with texture coordinates and a textured material; the texture
  // is named where it was on its author's machine, and lies beside the file.
  {
    const doc = new rh.File3dm();
    units(doc, 'Millimeters');
    const m = new rh.Material();
    m.name = 'Checker';
    m.diffuseColor = colour(230, 153, 51);
    m.shine = 128;
    m.transparency = 0.25;
    m.setBitmapTextureFilename('C:\\Users\\author\\Textures\\checker.png');
    doc.materials().add(m);
    const l = layer(doc, 'Textured', colour(10, 20, 30));
    const mesh = new rh.Mesh();
    const corners = [[0, 0, 0], [10, 0, 0], [10, 10, 0], [0, 10, 0]];
    corners.forEach((p) => mesh.vertices().add(p[0], p[1], p[2]));
    mesh.faces().addQuadFace(0, 1, 2, 3);
    [[0, 0], [1, 0], [1, 1], [0, 1]].forEach((t) => mesh.textureCoordinates().add(t[0], t[1]));
    mesh.normals().computeNormals();
    doc.objects().add(mesh, attributes(l, {materialSource: rh.ObjectMaterialSource.MaterialFromObject,
      materialIndex: 0, name: 'Tile <&>'}));
    save(doc, 'textured-mesh.3dm');
  }

  // Breps: one with a cached render mesh on its face (which differs from
  // its surface, so the page tells them apart), one untrimmed without, and
  // an open extrusion.
  {
    const doc = new rh.File3dm();
    units(doc, 'Millimeters');
    const l = layer(doc, 'Solids', colour(200, 0, 0));
    const cached = rh.Brep.createFromSurface(patch(0, 2));
    const mesh = new rh.Mesh();
    [[0, 0, 5], [4, 0, 5], [4, 4, 5], [0, 4, 5]].forEach((p) => mesh.vertices().add(p[0], p[1], p[2]));
    mesh.faces().addTriFace(0, 1, 2);
    mesh.faces().addTriFace(0, 2, 3);
    mesh.normals().computeNormals();
    // (The call takes the mesh first, whatever its typings say.)
    cached.faces().get(0).setMesh(mesh, rh.MeshType.Render);
    doc.objects().add(cached, attributes(l, {name: 'cached'}));
    doc.objects().add(rh.Brep.createFromSurface(patch(10, 2)), attributes(l, {name: 'untrimmed'}));
    const profile = new rh.Circle([25, 2, 0], 2).toNurbsCurve();
    const extrusion = rh.Extrusion.create(profile, 6, false);
    doc.objects().add(extrusion, attributes(l, {name: 'tube'}));
    // Trimmed faces without render meshes: a capped can (its caps are
    // trimmed planes) and a disc cut from a plane by a circle.
    const can = rh.Extrusion.create(new rh.Circle([35, 2, 0], 2).toNurbsCurve(), 6, true);
    doc.objects().add(can, attributes(l, {name: 'can'}));
    const disc = rh.Brep.createTrimmedPlane(rh.Plane.worldXY(), new rh.Circle([45, 2, 0], 2).toNurbsCurve());
    doc.objects().add(disc, attributes(l, {name: 'disc'}));
    save(doc, 'breps.3dm');
  }

  // Curves of every kind, a text dot, a point and a point cloud, in inches.
  {
    const doc = new rh.File3dm();
    units(doc, 'Inches');
    const l = layer(doc, 'Curves', colour(0, 0, 255));
    const add = (g, name) => doc.objects().add(g, attributes(l, {name}));
    add(new rh.LineCurve([0, 0, 0], [10, 0, 0]), 'line');
    add(new rh.PolylineCurve([[0, 2, 0], [3, 4, 0], [6, 2, 0], [9, 4, 0]]), 'polyline');
    doc.objects().addArc(new rh.Arc([5, 8, 0], 2, Math.PI), attributes(l, {name: 'arc'}));
    doc.objects().addCircle(new rh.Circle([15, 8, 0], 2), attributes(l, {name: 'circle'}));
    add(rh.NurbsCurve.create(false, 3, [[0, 12, 0], [3, 15, 2], [6, 12, 0], [9, 15, -2], [12, 12, 0]]), 'nurbs');
    const poly = new rh.PolyCurve();
    poly.appendCurve(new rh.LineCurve([11, 18, 0], [9, 18, 0]));
    poly.appendCurve(new rh.Arc([7, 18, 0], 2, Math.PI).toNurbsCurve());
    add(poly, 'polycurve');
    doc.objects().addTextDot('Dot <b>&amp;</b>', [10, 0, 0], attributes(l, {name: 'dot'}));
    doc.objects().addPoint([0, 0, 3], attributes(l));
    const cloud = new rh.PointCloud();
    cloud.addRangePoints([[1, 1, 1], [2, 2, 2], [3, 3, 3]]);
    doc.objects().addPointCloud(cloud, attributes(l));
    save(doc, 'curves.3dm');
  }

  // Nested blocks with colours by parent, layers (one hidden, one under a
  // hidden parent) and two named views.
  {
    const doc = new rh.File3dm();
    units(doc, 'Millimeters');
    const base = layer(doc, 'Base', colour(0, 128, 0));
    const hidden = layer(doc, 'Hidden', colour(255, 0, 255), false);
    const hiddenId = doc.layers().get(hidden).id;
    const child = layer(doc, 'Under hidden', colour(0, 255, 255), true, hiddenId);
    // Block "Cube": a square mesh drawn by parent, and a line drawn in its
    // own colour.
    const square = new rh.Mesh();
    [[0, 0, 0], [1, 0, 0], [1, 1, 0], [0, 1, 0]].forEach((p) => square.vertices().add(p[0], p[1], p[2]));
    square.faces().addQuadFace(0, 1, 2, 3);
    square.normals().computeNormals();
    const byParent = attributes(base, {colorSource: rh.ObjectColorSource.ColorFromParent});
    const own = attributes(base, {colorSource: rh.ObjectColorSource.ColorFromObject, objectColor: colour(255, 255, 0)});
    const cube = doc.instanceDefinitions().add('Cube', '', '', '', [0, 0, 0],
        [square, new rh.LineCurve([0, 0, 0], [0, 0, 1])], [byParent, own]);
    const cubeId = doc.instanceDefinitions().get(cube).id;
    // Block "Pair": two Cubes, one moved by 2 along x, by parent.
    const inner1 = new rh.InstanceReference(cubeId, rh.Transform.identity());
    const inner2 = new rh.InstanceReference(cubeId, rh.Transform.translationXYZ(2, 0, 0));
    const pair = doc.instanceDefinitions().add('Pair', '', '', '', [0, 0, 0], [inner1, inner2],
        [attributes(base, {colorSource: rh.ObjectColorSource.ColorFromParent}),
          attributes(base, {colorSource: rh.ObjectColorSource.ColorFromParent})]);
    const pairId = doc.instanceDefinitions().get(pair).id;
    // Two Pairs: one at the origin in red, one 10 up along y, scaled by 2,
    // by layer.
    doc.objects().addInstanceObject(new rh.InstanceReference(pairId, rh.Transform.identity()),
        attributes(base, {colorSource: rh.ObjectColorSource.ColorFromObject, objectColor: colour(255, 0, 0),
          name: 'pair A'}));
    const scaled = rh.Transform.multiply(rh.Transform.translationXYZ(0, 10, 0), rh.Transform.scale([0, 0, 0], 2));
    doc.objects().addInstanceObject(new rh.InstanceReference(pairId, scaled), attributes(base, {name: 'pair B'}));
    doc.objects().add(new rh.LineCurve([0, 0, 5], [1, 0, 5]), attributes(hidden, {name: 'on hidden'}));
    doc.objects().add(new rh.LineCurve([0, 0, 6], [1, 0, 6]), attributes(child, {name: 'under hidden'}));
    const views = [['Overview', [20, -20, 20], [2, 5, 0]], ['Close', [2, -3, 2], [1, 0.5, 0]]];
    for (const [name, location, target] of views) {
      const v = new rh.ViewInfo();
      v.name = name;
      const vp = v.getViewport();
      vp.setCameraLocation(location);
      vp.setCameraDirection(target.map((t, k) => t - location[k]));
      vp.setCameraUp([0, 0, 1]);
      v.setViewport(vp);
      doc.namedViews().add(v);
    }
    save(doc, 'blocks.3dm');
  }

  // Annotations only: nothing the page can show.
  {
    const doc = new rh.File3dm();
    units(doc, 'Millimeters');
    const light = new rh.Light();
    light.location = [0, 0, 10];
    doc.objects().add(light, attributes(0));
    save(doc, 'nothing-to-show.3dm');
  }
});
