#include "importers/cad/TrimmedFaces.h"

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <Geom_BSplineCurve.hxx>
#include <Geom_BSplineSurface.hxx>
#include <ShapeFix_Face.hxx>
#include <ShapeFix_Shape.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColStd_Array2OfReal.hxx>
#include <TColgp_Array1OfPnt.hxx>
#include <TColgp_Array2OfPnt.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Wire.hxx>

#include <cmath>
#include <vector>

namespace zem::cad {

namespace {

using json = nlohmann::json;
constexpr int kMaxDegree = 11;
constexpr std::size_t kMaxPoints = 1 << 20;

// Thrown inside this file only.
struct Bad {
  std::string why;
};

double Number(const json& j) {
  if (!j.is_number()) throw Bad{"expected a number"};
  const double v = j.get<double>();
  if (!std::isfinite(v)) throw Bad{"a number out of range"};
  return v;
}

gp_Pnt Point(const json& j) {
  if (!j.is_array() || j.size() != 3) throw Bad{"expected a point"};
  return gp_Pnt(Number(j[0]), Number(j[1]), Number(j[2]));
}

int Degree(const json& j) {
  if (!j.is_number_integer()) throw Bad{"expected a degree"};
  const int d = j.get<int>();
  if (d < 1 || d > kMaxDegree) throw Bad{"a degree out of range"};
  return d;
}

// The file format's knots (order + count - 2 of them, or with the end knots
// repeated once more) as the kernel's distinct knots and multiplicities.
void Knots(const json& j, int degree, int count, TColStd_Array1OfReal& knots, TColStd_Array1OfInteger& mults) {
  if (!j.is_array()) throw Bad{"expected knots"};
  std::vector<double> full;
  for (const json& v : j) full.push_back(Number(v));
  if (static_cast<int>(full.size()) == degree + count - 1 && !full.empty()) {
    full.insert(full.begin(), full.front());
    full.push_back(full.back());
  }
  if (static_cast<int>(full.size()) != degree + count + 1) throw Bad{"knots that do not match the points"};
  std::vector<double> distinct;
  std::vector<int> counts;
  for (const double v : full) {
    if (!distinct.empty() && v < distinct.back()) throw Bad{"knots out of order"};
    if (!distinct.empty() && v - distinct.back() <= 1e-12 * std::max(1.0, std::fabs(v))) {
      ++counts.back();
    } else {
      distinct.push_back(v);
      counts.push_back(1);
    }
  }
  if (distinct.size() < 2) throw Bad{"knots without a span"};
  for (int c : counts)
    if (c > degree + 1) throw Bad{"a knot repeated too often"};
  knots.Resize(1, static_cast<int>(distinct.size()), Standard_False);
  mults.Resize(1, static_cast<int>(distinct.size()), Standard_False);
  for (std::size_t i = 0; i < distinct.size(); ++i) {
    knots.SetValue(static_cast<int>(i) + 1, distinct[i]);
    mults.SetValue(static_cast<int>(i) + 1, counts[i]);
  }
}

double Weight(const json& object, std::size_t i, std::size_t k, bool surface) {
  auto it = object.find("weights");
  if (it == object.end()) return 1;
  const json& w = surface ? it->at(i).at(k) : it->at(i);
  const double v = Number(w);
  if (!(v > 0)) throw Bad{"a weight not above 0"};
  return v;
}

Handle(Geom_BSplineCurve) Curve(const json& c) {
  if (!c.is_object() || c.value("kind", "") != "nurbs") throw Bad{"expected a NURBS curve"};
  const int degree = Degree(c.at("degree"));
  const json& points = c.at("points");
  if (!points.is_array() || points.size() < 2 || points.size() > kMaxPoints) throw Bad{"expected control points"};
  const int n = static_cast<int>(points.size());
  if (n < degree + 1) throw Bad{"fewer control points than the degree needs"};
  TColgp_Array1OfPnt poles(1, n);
  TColStd_Array1OfReal weights(1, n);
  for (int i = 0; i < n; ++i) {
    poles.SetValue(i + 1, Point(points[static_cast<std::size_t>(i)]));
    weights.SetValue(i + 1, Weight(c, static_cast<std::size_t>(i), 0, false));
  }
  TColStd_Array1OfReal knots(1, 2);
  TColStd_Array1OfInteger mults(1, 2);
  Knots(c.at("knots"), degree, n, knots, mults);
  return new Geom_BSplineCurve(poles, weights, knots, mults, degree);
}

Handle(Geom_BSplineSurface) Surface(const json& s) {
  if (!s.is_object()) throw Bad{"expected a surface"};
  const json& degree = s.at("degree");
  if (!degree.is_array() || degree.size() != 2) throw Bad{"expected two degrees"};
  const int du = Degree(degree[0]), dv = Degree(degree[1]);
  const json& rows = s.at("points");
  if (!rows.is_array() || rows.size() < 2 || !rows[0].is_array() || rows[0].size() < 2)
    throw Bad{"expected rows of points"};
  const std::size_t nu = rows.size(), nv = rows[0].size();
  if (nu * nv > kMaxPoints) throw Bad{"too many control points"};
  TColgp_Array2OfPnt poles(1, static_cast<int>(nu), 1, static_cast<int>(nv));
  TColStd_Array2OfReal weights(1, static_cast<int>(nu), 1, static_cast<int>(nv));
  for (std::size_t i = 0; i < nu; ++i) {
    if (!rows[i].is_array() || rows[i].size() != nv) throw Bad{"rows of points of different lengths"};
    for (std::size_t k = 0; k < nv; ++k) {
      poles.SetValue(static_cast<int>(i) + 1, static_cast<int>(k) + 1, Point(rows[i][k]));
      weights.SetValue(static_cast<int>(i) + 1, static_cast<int>(k) + 1, Weight(s, i, k, true));
    }
  }
  if (static_cast<int>(nu) < du + 1 || static_cast<int>(nv) < dv + 1)
    throw Bad{"fewer control points than the degree needs"};
  TColStd_Array1OfReal knotsU(1, 2), knotsV(1, 2);
  TColStd_Array1OfInteger multsU(1, 2), multsV(1, 2);
  Knots(s.at("knotsU"), du, static_cast<int>(nu), knotsU, multsU);
  Knots(s.at("knotsV"), dv, static_cast<int>(nv), knotsV, multsV);
  return new Geom_BSplineSurface(poles, weights, knotsU, knotsV, multsU, multsV, du, dv);
}

TopoDS_Wire Wire(const json& loop) {
  if (!loop.is_array() || loop.empty()) throw Bad{"expected a loop of curves"};
  BRepBuilderAPI_MakeWire wire;
  for (const json& c : loop) {
    BRepBuilderAPI_MakeEdge edge(Curve(c));
    if (!edge.IsDone()) throw Bad{"an edge curve that makes no edge"};
    wire.Add(edge.Edge());
  }
  if (!wire.IsDone()) throw Bad{"edges that make no loop"};
  return wire.Wire();
}

}  // namespace

TopoDS_Face BuildTrimmedFace(const json& face, double precision, std::string& why) {
  try {
    if (!face.is_object()) throw Bad{"expected a face"};
    const json& loops = face.at("loops");
    if (!loops.is_array() || loops.empty()) throw Bad{"a face without loops"};
    BRepBuilderAPI_MakeFace make(Surface(face.at("surface")), Wire(loops[0]), Standard_True);
    for (std::size_t i = 1; i < loops.size(); ++i) make.Add(Wire(loops[i]));
    if (!make.IsDone()) throw Bad{"the surface and its loops make no face"};
    // The loops come without their curves on the surface and may not quite
    // meet: the repair computes the one and closes the other.
    Handle(ShapeFix_Face) fixFace = new ShapeFix_Face(make.Face());
    fixFace->SetPrecision(precision);
    fixFace->SetMaxTolerance(precision * 1000);
    fixFace->Perform();
    fixFace->FixOrientation();
    Handle(ShapeFix_Shape) fixShape = new ShapeFix_Shape(fixFace->Face());
    fixShape->SetPrecision(precision);
    fixShape->SetMaxTolerance(precision * 1000);
    fixShape->Perform();
    const TopoDS_Shape fixed = fixShape->Shape();
    if (fixed.IsNull() || fixed.ShapeType() != TopAbs_FACE) throw Bad{"the repair made no single face of it"};
    TopoDS_Face result = TopoDS::Face(fixed);
    if (face.value("reversed", false)) result.Reverse();
    return result;
  } catch (const Bad& bad) {
    why = bad.why;
  } catch (const json::exception&) {
    why = "a face the hand-off does not describe fully";
  } catch (const Standard_Failure& failure) {
    why = std::string("the kernel refused it: ") + failure.GetMessageString();
  }
  return TopoDS_Face();
}

}  // namespace zem::cad
