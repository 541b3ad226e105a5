#!/usr/bin/env python3
"""Writes demo.json, the built-in demo document of zem-webgl.

Run from this folder: python3 make_demo.py. The texture pictures beside it
are made by make_demo_textures.cpp (build target zem_make_demo_textures).
"""
import json
import math

W = math.sqrt(0.5)
SQUARE = [(1, 0), (1, 1), (0, 1), (-1, 1), (-1, 0), (-1, -1), (0, -1), (1, -1), (1, 0)]
SQUARE_W = [1, W, 1, W, 1, W, 1, W, 1]


def r(v):
    return round(v, 5)


def sphere(cx, cy, cz, radius):
    profile = [(0, -1), (1, -1), (1, 0), (1, 1), (0, 1)]
    profile_w = [1, W, 1, W, 1]
    points, weights = [], []
    for (px, pz), pw in zip(profile, profile_w):
        points.append([[r(cx + radius * px * sx), r(cy + radius * px * sy), r(cz + radius * pz)] for sx, sy in SQUARE])
        weights.append([r(pw * sw) for sw in SQUARE_W])
    return {"degree": [2, 2], "points": points, "weights": weights,
            "knotsU": [0, 0, 1, 1, 2, 2], "knotsV": [0, 0, 1, 1, 2, 2, 3, 3, 4, 4]}


def wave(x0, y0, size, height, n=6):
    points = []
    for i in range(n):
        row = []
        for j in range(n):
            x = x0 + size * i / (n - 1)
            y = y0 + size * j / (n - 1)
            z = height * (1.2 + 0.6 * math.sin(i * 1.3) * math.cos(j * 1.1))
            row.append([r(x), r(y), r(z)])
        points.append(row)
    return {"degree": [3, 3], "points": points}


def plane(origin, xaxis, yaxis):
    ox, oy, oz = origin
    return {"degree": [1, 1], "points": [
        [[ox, oy, oz], [ox + yaxis[0], oy + yaxis[1], oz + yaxis[2]]],
        [[ox + xaxis[0], oy + xaxis[1], oz + xaxis[2]],
         [ox + xaxis[0] + yaxis[0], oy + xaxis[1] + yaxis[1], oz + xaxis[2] + yaxis[2]]]]}


def floor(n, size):
    vertices, uvs, faces = [], [], []
    for j in range(n + 1):
        for i in range(n + 1):
            vertices.append([r(-size / 2 + size * i / n), r(-size / 2 + size * j / n), 0])
            uvs.append([r(2 * i / n), r(2 * j / n)])
    for j in range(n):
        for i in range(n):
            a = j * (n + 1) + i
            faces.append([a, a + 1, a + n + 2, a + n + 1])
    return {"vertices": vertices, "normals": [[0, 0, 1]] * len(vertices), "uvs": uvs, "faces": faces}


def prism(cx, cy, radius, height, sides=6):
    """Quads around, triangles on the caps."""
    vertices = []
    for z in (0, height):
        for k in range(sides):
            a = 2 * math.pi * k / sides
            vertices.append([r(cx + radius * math.cos(a)), r(cy + radius * math.sin(a)), r(z)])
    bottom_center = len(vertices)
    vertices.append([cx, cy, 0])
    top_center = len(vertices)
    vertices.append([cx, cy, height])
    faces = []
    for k in range(sides):
        n = (k + 1) % sides
        faces.append([k, n, sides + n, sides + k])
        faces.append([bottom_center, n, k])
        faces.append([top_center, sides + k, sides + n])
    return {"vertices": vertices, "faces": faces}


def octahedron(cx, cy, cz, s):
    vertices = [[cx + s, cy, cz], [cx - s, cy, cz], [cx, cy + s, cz], [cx, cy - s, cz], [cx, cy, cz + s * 1.4], [cx, cy, cz - s * 1.4]]
    faces = [[0, 2, 4], [2, 1, 4], [1, 3, 4], [3, 0, 4], [2, 0, 5], [1, 2, 5], [3, 1, 5], [0, 3, 5]]
    return {"vertices": vertices, "faces": faces}


def cube(cx, cy, cz, s):
    c = [[cx + dx * s, cy + dy * s, cz + dz * s] for dz in (0, 1) for dy in (0, 1) for dx in (0, 1)]
    faces = [[0, 2, 3, 1], [4, 5, 7, 6], [0, 1, 5, 4], [1, 3, 7, 5], [3, 2, 6, 7], [2, 0, 4, 6]]
    return {"vertices": c, "faces": faces}


def helix(cx, cy, radius, turns, height, n=17):
    pts = []
    for k in range(n):
        a = 2 * math.pi * turns * k / (n - 1)
        pts.append([r(cx + radius * math.cos(a)), r(cy + radius * math.sin(a)), r(height * k / (n - 1))])
    return {"kind": "nurbs", "degree": 3, "points": pts}


doc = {
    "format": "zem-document",
    "version": 1,
    "title": "ZEM WebGL Demo",
    "notes": "A small scene that shows what a page can hold: plain, shiny, reflective, refractive and "
             "transparent materials, pictures from JPEG, PNG and RGBE files, meshes and surfaces, "
             "curves and labels.\nDrag to turn the model, use the wheel to zoom.",
    "createdBy": "zem-webgl demo",
    "lastEditedBy": "zem-webgl demo",
    "viewportBackground": "#a0a0a0",
    "materials": [
        {"name": "Plain clay", "diffuse": "#c8b49b", "specular": "#000000", "shine": 0},
        {"name": "Glossy red", "diffuse": "#b3141e", "specular": "#ffffff", "shine": 200},
        {"name": "Chrome", "diffuse": "#8c8c96", "specular": "#ffffff", "reflection": "#ffffff",
         "reflectivity": 0.8, "shine": 240},
        {"name": "Glass", "diffuse": "#d8eef5", "specular": "#ffffff", "transparency": 0.7, "ior": 1.5,
         "reflectivity": 0.1, "shine": 230},
        {"name": "Tinted acrylic", "diffuse": "#3c8cdc", "specular": "#ffffff", "transparency": 0.45, "shine": 120},
        {"name": "Checker wood", "diffuse": "#ffffff", "specular": "#202020", "shine": 30,
         "textures": [{"file": "wood.jpg", "type": "bitmap", "mode": "modulate"}]},
        {"name": "Leaf decal", "diffuse": "#e8d8a0", "specular": "#808080", "shine": 60,
         "textures": [{"file": "leaf.png", "type": "bitmap", "mode": "decal"}]},
        {"name": "Evening sky", "diffuse": "#ffffff", "shine": 10,
         "textures": [{"file": "sky.hdr", "type": "bitmap", "mode": "modulate"}]},
    ],
    "layers": [
        {"name": "Default", "color": "#000000"},
        {"name": "Shapes", "color": "#404040"},
        {"name": "Curves", "color": "#1e5aa0"},
        {"name": "Labels", "color": "#000000"},
        {"name": "Construction", "color": "#ff00ff", "visible": False},
    ],
    "objects": [
        {"type": "mesh", "name": "Floor", "layer": 1, "material": 5, "mesh": floor(8, 12)},
        {"type": "mesh", "name": "Hexagonal prism", "layer": 1, "material": 1, "mesh": prism(-3, -2.5, 1.1, 1.6)},
        {"type": "mesh", "name": "Gem", "layer": 1, "material": 3, "mesh": octahedron(3.2, -2.6, 1.6, 0.9)},
        {"type": "mesh", "name": "Clay block", "layer": 1, "material": 0, "locked": True, "mesh": cube(-4.6, 2.2, 0, 1.4)},
        {"type": "surface", "name": "Chrome ball", "layer": 1, "material": 2, "surface": sphere(0, 0, 1.6, 1.6)},
        {"type": "surface", "name": "Leaf sheet", "layer": 1, "material": 6, "surface": wave(1.5, 1.5, 3.5, 0.8)},
        {"type": "surface", "name": "Acrylic panel", "layer": 1, "material": 4,
         "surface": plane([-1.8, 3.8, 0.1], [3.6, 0, 0], [0, 0, 2.6])},
        {"type": "surface", "name": "Sky board", "layer": 1, "material": 7,
         "surface": plane([5.2, -4.5, 0.1], [0, 3.2, 0], [0, 0, 2.4])},
        {"type": "surface", "name": "Unmeshed plate", "layer": 1, "material": 0, "renderMeshes": False,
         "surface": plane([-5.5, -5.5, 0.02], [2, 0, 0], [0, 1.5, 0])},
        {"type": "curve", "name": "Edge line", "layer": 2, "color": "#d23c1e",
         "curve": {"kind": "line", "from": [-6, -6, 0.05], "to": [6, -6, 0.05]}},
        {"type": "curve", "name": "Zigzag", "layer": 2,
         "curve": {"kind": "polyline", "points": [[-6, 6, 0.05], [-4, 5, 0.05], [-2, 6, 0.05], [0, 5, 0.05], [2, 6, 0.05]]}},
        {"type": "curve", "name": "Orbit", "layer": 2, "color": "#f0b428",
         "curve": {"kind": "circle", "center": [0, 0, 1.6], "radius": 2.3, "normal": [0.3, -0.2, 1]}},
        {"type": "curve", "name": "Half arch", "layer": 2, "color": "#1e9650",
         "curve": {"kind": "arc", "center": [3.2, -2.6, 0], "radius": 1.8, "normal": [0, 1, 0],
                   "startAngle": 0, "endAngle": 180}},
        {"type": "curve", "name": "Spring", "layer": 2, "color": "#8c28b4", "curve": helix(-3, -2.5, 1.4, 2, 3.2)},
        {"type": "textDot", "name": "Light label", "layer": 3, "color": "#fff5c8", "point": [0, 0, 3.4], "text": "Chrome"},
        {"type": "textDot", "name": "Dark label", "layer": 3, "color": "#1a1a2e", "point": [3.2, -2.6, 3.2], "text": "Glass"},
        {"type": "textDot", "name": "Red label", "layer": 3, "color": "#b3141e", "point": [-3, -2.5, 3.4], "text": "Prism & spring"},
        {"type": "point", "name": "Origin", "layer": 2, "point": [0, 0, 0]},
        {"type": "pointCloud", "name": "Stars", "layer": 2,
         "points": [[r(5 * math.cos(k)), r(5 * math.sin(k)), r(5 + 0.3 * k)] for k in range(8)]},
        {"type": "mesh", "name": "Helper on a hidden layer", "layer": 4, "mesh": cube(0, 0, 5, 1)},
        {"type": "mesh", "name": "Hidden helper", "layer": 1, "hidden": True, "mesh": cube(2, 2, 5, 1)},
    ],
    "displayModes": [
        {"name": "Demo", "base": "Rendered",
         "background": {"fill": "gradient2", "topLeft": "#1d2b44", "bottomLeft": "#9db4cf"}},
    ],
    "views": [
        {"name": "Perspective", "displayMode": "Demo", "projection": "perspective", "lens": 35,
         "camera": {"location": [13.5, -15.5, 10.5], "target": [0, 0, 1.2], "up": [0, 0, 1]}},
        {"name": "Top", "displayMode": "Wireframe", "projection": "parallel", "direction": [0, 0, -1]},
        {"name": "Front", "displayMode": "Shaded", "projection": "parallel", "direction": [0, 1, 0]},
        {"name": "Right", "displayMode": "Shaded", "projection": "parallel", "direction": [-1, 0, 0]},
    ],
    "activeView": "Perspective",
}

with open("demo.json", "w") as f:
    json.dump(doc, f, indent=1)
    f.write("\n")
