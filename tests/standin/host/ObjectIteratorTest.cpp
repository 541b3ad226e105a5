#include "standin/host/CRhinoObjectIterator.h"

#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoTextDot.h"
#include "standin/host/ON_LineCurve.h"
#include "tests/support/HostTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using zem::testing::AddMesh;

std::vector<const CRhinoObject*> Collect(CRhinoObjectIterator it) {
  std::vector<const CRhinoObject*> seen;
  for (CRhinoObject* o = it.First(); o; o = it.Next()) seen.push_back(o);
  return seen;
}

ON_3dmObjectAttributes WithMode(ON_3dmObjectAttributes::object_mode mode) {
  ON_3dmObjectAttributes a;
  a.SetMode(mode);
  return a;
}

class ObjectIteratorTest : public ::testing::Test {
 protected:
  CRhinoDoc doc;
  CRhinoObject* normal = AddMesh(doc);
  CRhinoObject* locked = AddMesh(doc, WithMode(ON_3dmObjectAttributes::locked_object));
  CRhinoObject* hidden = AddMesh(doc, WithMode(ON_3dmObjectAttributes::hidden_object));
  CRhinoObject* reference = AddMesh(doc, {}, true);
  CRhinoObject* deleted = AddMesh(doc);
  void SetUp() override { ASSERT_TRUE(doc.DeleteObject(deleted)); }
};

// Which states the export takes is shown by the export driver's test; an
// object on a locked layer counts as locked, and stays visible.
TEST_F(ObjectIteratorTest, AnObjectOnALockedLayerIsALockedObject) {
  ON_Layer layer;
  layer.m_name = L"Locked";
  layer.SetLocked(true);
  ON_3dmObjectAttributes a;
  a.m_layer_index = doc.m_layer_table.AddLayer(layer);
  CRhinoObject* onLocked = AddMesh(doc, a);
  EXPECT_TRUE(onLocked->IsLocked() && onLocked->IsVisible());
  EXPECT_EQ(Collect(CRhinoObjectIterator(doc, CRhinoObjectIterator::locked_objects, 3)),
            (std::vector<const CRhinoObject*>{locked, onLocked}));
}

TEST(ObjectVisibility, HiddenLayerOrHiddenParentLayerHidesTheObject) {
  CRhinoDoc doc;
  ON_Layer parent;
  parent.m_name = L"Parent";
  const int parentIndex = doc.m_layer_table.AddLayer(parent);
  ON_Layer child;
  child.m_name = L"Child";
  child.m_parent_index = parentIndex;
  const int childIndex = doc.m_layer_table.AddLayer(child);
  ON_3dmObjectAttributes a;
  a.m_layer_index = childIndex;
  CRhinoObject* object = AddMesh(doc, a);
  EXPECT_TRUE(object->IsVisible());

  ON_Layer hiddenParent = doc.m_layer_table[parentIndex];
  hiddenParent.SetVisible(false);
  doc.m_layer_table.ModifyLayer(hiddenParent, parentIndex);
  EXPECT_FALSE(object->IsVisible());
  EXPECT_FALSE(object->IsHidden()) << "the object itself is not hidden, only its layer";
}

}  // namespace
