#pragma once
// The interface between a page's data functions, written by the scene
// writers, and the viewer script that calls them (page/viewer/viewer.js):
// the functions and their parameters, the buffer layouts, the material
// record and the texture modes. docs/page-format.md describes the page
// piece by piece and why each of these numbers is what it is; the viewer
// spells the same numbers, and a test reads both sides.
#include <string>
#include <string_view>

namespace zem::page_format {

// The data functions, with the parameters the viewer passes, in the order
// the page holds them.
inline constexpr std::string_view kInitVB = "function initVB(gl,posLoc,normLoc,texLoc,mi,buff,bl,mat,bbmin,bbmax)";
inline constexpr std::string_view kInitTextures = "function initTextures(textures)";
inline constexpr std::string_view kInitCurves = "function initCurves(gl,CposLoc,cols,lbuff,lbl,bbmin,bbmax)";
inline constexpr std::string_view kInitDots = "function initDots(dtpts)";
inline constexpr std::string_view kInitView = "function initView(veye,vtar,vx,vy)";
inline constexpr std::string_view kInitBack = "function initBack(tlc,blc,trc,brc)";

// Mesh buffers hold three corners per triangle, each corner position and
// normal (floats), then the texture coordinate in a textured buffer. Byte
// strides and offsets as the viewer's vertexAttribPointer calls take them.
inline constexpr int kPlainStride = 24;
inline constexpr int kTexturedStride = 32;
inline constexpr int kNormalOffset = 12;
inline constexpr int kTexCoordOffset = 24;
// Curve buffers hold positions only.
inline constexpr int kCurveStride = 12;
// Triangles per mesh buffer before the next buffer starts.
inline constexpr int kTrianglesPerBuffer = 3555;

// The material record: numbers per record in mat, and where each field
// starts (colours take three numbers, red first).
inline constexpr int kMaterialRecordSize = 15;
enum MaterialField : int {
  kDiffuse = 0,
  kSpecular = 3,
  kReflectionColour = 6,
  kReflectivity = 9,
  kTransparency = 10,
  kRefraction = 11,
  kShine = 12,
  kTextureMode = 13,
  kTextureNumber = 14,  // index into textures, -1 for none
};

// How the fragment shader applies a texture.
enum TextureMode : int {
  kNoTexture = 0,
  kModulate = 1,  // the texture multiplies the shaded colour
  kDecal = 2,     // the texture lies over the shaded colour by its alpha
};

// initView returns the view angle as angle / kAngleHalfTurn * 360 degrees;
// the four-decimal value is part of every page written so far.
inline constexpr double kAngleHalfTurn = 3.1415;

// The vertexAttribPointer calls that bind a mesh buffer (textured or not)
// and a curve buffer, as the page writes them.
const std::string& MeshAttributeCalls(bool textured);
const std::string& CurveAttributeCall();

}  // namespace zem::page_format
