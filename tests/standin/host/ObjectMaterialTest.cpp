#include "standin/host/CRhinoMaterialTable.h"
#include "tests/support/HostTestSupport.h"

#include <gtest/gtest.h>

namespace {

using zem::testing::AddMesh;

class ObjectMaterialTest : public ::testing::Test {
 protected:
  CRhinoDoc doc;
  int red = -1, blue = -1, layer = -1;
  void SetUp() override {
    ON_Material m;
    m.m_material_name = L"Red";
    m.m_diffuse = ON_Color(255, 0, 0);
    red = doc.m_material_table.AddMaterial(m);
    m.m_material_name = L"Blue";
    m.m_diffuse = ON_Color(0, 0, 255);
    blue = doc.m_material_table.AddMaterial(m);
    ON_Layer l;
    l.m_name = L"Blue layer";
    l.m_material_index = blue;
    l.m_color = ON_Color(10, 20, 30);
    layer = doc.m_layer_table.AddLayer(l);
  }
};

TEST_F(ObjectMaterialTest, MaterialComesFromTheLayerUnlessTheObjectHasItsOwn) {
  ON_3dmObjectAttributes a;
  a.m_layer_index = layer;
  CRhinoObject* byLayer = AddMesh(doc, a);
  EXPECT_EQ(byLayer->ObjectMaterial().MaterialIndex(), blue);
  EXPECT_EQ(byLayer->ObjectMaterial().Diffuse(), ON_Color(0, 0, 255));

  a.SetMaterialSource(ON_3dmObjectAttributes::material_from_object);
  a.m_material_index = red;
  CRhinoObject* byObject = AddMesh(doc, a);
  EXPECT_EQ(byObject->ObjectMaterial().MaterialIndex(), red);
  EXPECT_EQ(byObject->ObjectMaterial().m_material_name, L"Red");
}

TEST_F(ObjectMaterialTest, AnIndexBeyondTheTableMeansNoDocumentMaterial) {
  ON_3dmObjectAttributes a;
  a.SetMaterialSource(ON_3dmObjectAttributes::material_from_object);
  a.m_material_index = 99;
  EXPECT_EQ(AddMesh(doc, a)->ObjectMaterial().MaterialIndex(), -1);
}

}  // namespace
