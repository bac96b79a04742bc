#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "assets/objl/obj_loader.h"

namespace objl {
namespace {

using Indices = std::vector<uint32_t>;

constexpr int kModelResource = 104;
constexpr int kMaterialResource = 139;

struct Read {
  bool ok;
  std::string report;
};

Read ReadText(ModelReader* reader, const std::string& model, const std::string& material = "") {
  std::ostringstream report;
  bool ok = reader->ReadModelText(model, material, report);
  return {ok, report.str()};
}

std::vector<std::string> MeshNames(const ModelReader& reader) {
  std::vector<std::string> names;
  for (const Mesh& mesh : reader.meshes) names.push_back(mesh.name);
  return names;
}

void ExpectVector(const Vector3& actual, float x, float y, float z) {
  EXPECT_EQ(actual.x, x);
  EXPECT_EQ(actual.y, y);
  EXPECT_EQ(actual.z, z);
}

void ExpectPlaneMaterial(const Material& m) {
  EXPECT_EQ(m.name, "wire_006135058");
  ExpectVector(m.ambient, 1, 0, 1);
  ExpectVector(m.diffuse, 0.64f, 0.04f, 0.64f);
  ExpectVector(m.specular, 0.5f, 0, 0.5f);
  EXPECT_EQ(m.specularExponent, 96.0784f);
  EXPECT_EQ(m.opticalDensity, 1.5f);
  EXPECT_EQ(m.dissolve, 1.0f);
  EXPECT_EQ(m.illumination, 2);
  for (const std::string* map :
       {&m.ambientMap, &m.diffuseMap, &m.specularMap, &m.specularExponentMap, &m.dissolveMap, &m.bumpMap}) {
    EXPECT_EQ(*map, "");
  }
}

void ExpectPlaneVertices(const std::vector<Vertex>& vertices) {
  ASSERT_EQ(vertices.size(), 4u);
  const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (size_t i = 0; i < 4; ++i) {
    ExpectVector(vertices[i].position, corners[i][0], corners[i][1], 0);
    EXPECT_EQ(vertices[i].texCoord.x, (corners[i][0] + 1) / 2);
    EXPECT_EQ(vertices[i].texCoord.y, (corners[i][1] + 1) / 2);
    ExpectVector(vertices[i].normal, 0, 0, -4);
  }
}

// The square the renderer draws, read from the embedded resources.
TEST(EmbeddedModel, IsOneSquareWithItsMaterial) {
  ModelReader reader;
  testing::internal::CaptureStdout();
  bool ok = reader.ReadModel(kModelResource, kMaterialResource);
  std::string report = testing::internal::GetCapturedStdout();
  ASSERT_TRUE(ok);
  ASSERT_EQ(reader.meshes.size(), 1u);
  const Mesh& mesh = reader.meshes[0];
  EXPECT_EQ(mesh.name, "Plane001");
  ExpectPlaneVertices(mesh.vertices);
  EXPECT_EQ(mesh.indices, (Indices{0, 1, 3, 1, 2, 3}));
  ExpectPlaneMaterial(mesh.material);
  ExpectPlaneVertices(reader.allVertices);
  EXPECT_EQ(reader.allIndices, mesh.indices);
  ASSERT_EQ(reader.materials.size(), 1u);
  ExpectPlaneMaterial(reader.materials[0]);

  const std::string line = "\r- Plane001\t| vertices > 4\t| texcoords > 4\t| normals > 0\t| triangles > 0";
  EXPECT_EQ(report, "\n" + line + "\n" + line + line + "\t| material: wire_006135058\n");
}

TEST(EmbeddedModel, OnlyTheLow16BitsOfTheIdsCount) {
  ModelReader reader;
  testing::internal::CaptureStdout();
  bool ok = reader.ReadModel(kModelResource + 0x10000, kMaterialResource - 0x20000);
  testing::internal::GetCapturedStdout();
  ASSERT_TRUE(ok);
  ASSERT_EQ(reader.meshes.size(), 1u);
  ExpectPlaneMaterial(reader.meshes[0].material);
}

TEST(EmbeddedModel, MissingResourcesReadAsEmptyTexts) {
  ModelReader reader;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(reader.ReadModel(9999, kMaterialResource));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n");
  EXPECT_TRUE(reader.meshes.empty());
  EXPECT_TRUE(reader.ReadMaterials(9999));
  ASSERT_EQ(reader.materials.size(), 1u);
  EXPECT_EQ(reader.materials[0].name, "");
  EXPECT_EQ(reader.materials[0].illumination, 0);
}

TEST(EmbeddedModel, MaterialLibraryAlone) {
  ModelReader reader;
  EXPECT_TRUE(reader.ReadMaterials(kMaterialResource));
  ASSERT_EQ(reader.materials.size(), 1u);
  ExpectPlaneMaterial(reader.materials[0]);
}

const char kTriangle[] = "v 0 0 0\nv 1 0 0\nv 1 1 0\n";

TEST(LineEnds, CarriageReturnTakesTheNextCharacterAlong) {
  ModelReader reader;
  ASSERT_TRUE(ReadText(&reader, std::string(kTriangle) + "o Plane\rX\nf 1 2 3\r\n").ok);
  EXPECT_EQ(MeshNames(reader), (std::vector<std::string>{"Plane"}));
  ASSERT_TRUE(ReadText(&reader, std::string(kTriangle) + "o A\r\rB\nf 1 2 3").ok);
  EXPECT_EQ(MeshNames(reader), (std::vector<std::string>{"AB"}));
}

TEST(LineEnds, CrLfMaterialNameMatchesCrLfUsemtl) {
  ModelReader reader;
  std::string model = "mtllib x.mtl\r\nv 0 0 0\r\nv 1 0 0\r\nv 1 1 0\r\nusemtl red\r\nf 1 2 3\r\n";
  ASSERT_TRUE(ReadText(&reader, model, "newmtl red\r\nKd 1 0 0\r\nillum 2\r\n").ok);
  ASSERT_EQ(reader.meshes.size(), 1u);
  EXPECT_EQ(reader.meshes[0].material.name, "red");
  ExpectVector(reader.meshes[0].material.diffuse, 1, 0, 0);
  EXPECT_EQ(reader.meshes[0].material.illumination, 2);
}

TEST(LineEnds, LastLineNeedsNoLineFeed) {
  ModelReader reader;
  ASSERT_TRUE(ReadText(&reader, std::string(kTriangle) + "f 1 2 3").ok);
  EXPECT_EQ(reader.allIndices, (Indices{0, 1, 2}));
}

TEST(Lines, EmptyAndCommentLinesChangeNothing) {
  ModelReader plain;
  ModelReader commented;
  ASSERT_TRUE(ReadText(&plain, std::string(kTriangle) + "o A\nf 1 2 3\n").ok);
  ASSERT_TRUE(ReadText(&commented, std::string("# head\n\n") + kTriangle + "\n# x\no A\nf 1 2 3\n\n\n").ok);
  EXPECT_EQ(MeshNames(plain), MeshNames(commented));
  EXPECT_EQ(plain.allIndices, commented.allIndices);
  EXPECT_EQ(plain.allVertices.size(), commented.allVertices.size());
}

TEST(References, NegativeCountFromTheEndAtThatLine) {
  const std::string pentagon = "v 0 0 0\nv 2 0 0\nv 3 2 0\nv 1 3 0\nv -1 2 0\n";
  ModelReader forward;
  ModelReader backward;
  ASSERT_TRUE(ReadText(&forward, pentagon + "f 1 2 3 4 5\n").ok);
  // The later position is not yet in the pool when the face is read.
  ASSERT_TRUE(ReadText(&backward, pentagon + "f -5 -4 -3 -2 -1\nv 9 9 9\n").ok);
  EXPECT_EQ(forward.allIndices, (Indices{0, 1, 4, 1, 2, 4, 2, 3, 4}));
  EXPECT_EQ(backward.allIndices, forward.allIndices);
  ASSERT_EQ(backward.allVertices.size(), 5u);
  ExpectVector(backward.allVertices[4].position, -1, 2, 0);
}

TEST(Faces, TwoCornersWithNormalsGiveVerticesButNoMesh) {
  ModelReader reader;
  Read read = ReadText(&reader, "v 0 0 0\nv 1 0 0\nvn 0 0 1\nf 1//1 2//1\n");
  EXPECT_TRUE(read.ok);
  EXPECT_TRUE(reader.meshes.empty());
  EXPECT_EQ(reader.allVertices.size(), 2u);
  EXPECT_TRUE(reader.allIndices.empty());
}

TEST(Faces, IndicesCountWithinTheMeshAndAcrossTheModel) {
  ModelReader reader;
  ASSERT_TRUE(ReadText(&reader, std::string(kTriangle) + "o A\nf 1 2 3\nf 3 2 1\no B\nf 1 2 3\n").ok);
  ASSERT_EQ(reader.meshes.size(), 2u);
  EXPECT_EQ(reader.meshes[0].indices, (Indices{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(reader.meshes[1].indices, (Indices{0, 1, 2}));
  EXPECT_EQ(reader.allIndices, (Indices{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(reader.allVertices.size(), 9u);
}

struct SplitCase {
  const char* name;
  std::string lines;
  std::vector<std::string> meshNames;
};

std::ostream& operator<<(std::ostream& out, const SplitCase& c) { return out << c.name; }

class MeshSplitting : public testing::TestWithParam<SplitCase> {};

TEST_P(MeshSplitting, ClosesMeshesAtGroupsMaterialsAndTheEnd) {
  ModelReader reader;
  ASSERT_TRUE(ReadText(&reader, kTriangle + GetParam().lines).ok);
  EXPECT_EQ(MeshNames(reader), GetParam().meshNames);
}

const char kFace[] = "f 1 2 3\n";

INSTANTIATE_TEST_SUITE_P(
    Models, MeshSplitting,
    testing::Values(SplitCase{"objects", std::string("o A\n") + kFace + "o B\n" + kFace, {"A", "B"}},
                    SplitCase{"groups", std::string("g A\n") + kFace + "g B\n" + kFace, {"A", "B"}},
                    SplitCase{"rename_before_faces", std::string("o A\ng B\n") + kFace, {"B"}},
                    SplitCase{"gx_first", std::string("gx\n") + kFace, {"unnamed"}},
                    SplitCase{"g_word_later", std::string("o A\n") + kFace + "gear 2\n" + kFace, {"A", "2"}},
                    SplitCase{"g_word_later_no_rest", std::string("o A\n") + kFace + "gx\n" + kFace, {"A", ""}},
                    SplitCase{"no_group", kFace, {""}},
                    SplitCase{"materials",
                              std::string("o A\nusemtl m1\n") + kFace + "usemtl m2\n" + kFace + "usemtl m3\n" + kFace,
                              {"A_2", "A_3", "A"}},
                    SplitCase{
                        "materials_no_group", std::string("usemtl m1\n") + kFace + "usemtl m2\n" + kFace, {"_2", ""}},
                    // A numbered name already taken by an object is not given twice.
                    SplitCase{"numbered_name_taken",
                              std::string("o A_2\n") + kFace + "o A\n" + kFace + "usemtl m\n" + kFace,
                              {"A_2", "A_3", "A"}},
                    SplitCase{"face_without_triangle_closes_nothing", "o A\nf 1 2\no B\n" + std::string(kFace), {"B"}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

const char kThreeMaterials[] = "newmtl m1\nillum 1\nnewmtl m2\nillum 2\nnewmtl m3\nillum 3\n";

std::vector<int> BoundIllumination(const ModelReader& reader) {
  std::vector<int> illumination;
  for (const Mesh& mesh : reader.meshes) illumination.push_back(mesh.material.illumination);
  return illumination;
}

TEST(MaterialBinding, ByPositionOfTheUsemtlLines) {
  ModelReader reader;
  std::string model = std::string("mtllib a.mtl\n") + kTriangle + "o A\nusemtl m1\n" + kFace + "usemtl m2\n" + kFace +
                      "usemtl m3\n" + kFace;
  ASSERT_TRUE(ReadText(&reader, model, kThreeMaterials).ok);
  EXPECT_EQ(BoundIllumination(reader), (std::vector<int>{1, 2, 3}));
}

TEST(MaterialBinding, UnknownNameLeavesTheDefault) {
  ModelReader reader;
  std::string model = std::string("mtllib a.mtl\n") + kTriangle + "usemtl nothing\n" + kFace;
  ASSERT_TRUE(ReadText(&reader, model, kThreeMaterials).ok);
  ASSERT_EQ(reader.meshes.size(), 1u);
  EXPECT_EQ(reader.meshes[0].material.name, "");
}

TEST(MaterialBinding, MoreNamesThanMeshesBindsWhatExists) {
  ModelReader reader;
  std::string model = std::string("mtllib a.mtl\n") + kTriangle + "o A\nusemtl m2\nusemtl m3\n" + kFace + "usemtl m1\n";
  ASSERT_TRUE(ReadText(&reader, model, kThreeMaterials).ok);
  EXPECT_EQ(BoundIllumination(reader), (std::vector<int>{2}));
}

TEST(MaterialBinding, SecondLibraryLineDuplicatesAndTheFirstMatchWins) {
  ModelReader reader;
  std::string model = std::string("mtllib a.mtl\nmtllib a.mtl\n") + kTriangle + "usemtl m2\n" + kFace;
  ASSERT_TRUE(ReadText(&reader, model, kThreeMaterials).ok);
  EXPECT_EQ(reader.materials.size(), 6u);
  EXPECT_EQ(BoundIllumination(reader), (std::vector<int>{2}));
}

TEST(MaterialBinding, WithoutMtllibNothingIsRead) {
  ModelReader reader;
  ASSERT_TRUE(ReadText(&reader, std::string(kTriangle) + "usemtl m1\n" + kFace, kThreeMaterials).ok);
  EXPECT_TRUE(reader.materials.empty());
}

TEST(Rereading, StartsMeshesAfreshAndKeepsMaterials) {
  ModelReader reader;
  std::string model = std::string("mtllib a.mtl\n") + kTriangle + "o A\n" + kFace;
  ASSERT_TRUE(ReadText(&reader, model, "newmtl first\n").ok);
  ASSERT_TRUE(ReadText(&reader, model, "newmtl second\n").ok);
  EXPECT_EQ(MeshNames(reader), (std::vector<std::string>{"A"}));
  EXPECT_EQ(reader.allVertices.size(), 3u);
  ASSERT_EQ(reader.materials.size(), 2u);
  EXPECT_EQ(reader.materials[0].name, "first");
  EXPECT_EQ(reader.materials[1].name, "second");
}

std::string Report(const std::string& name, size_t positions, size_t texCoords, size_t normals, size_t triangles,
                   const std::string& material = "") {
  std::string text = "\r- " + name + "\t| vertices > " + std::to_string(positions) + "\t| texcoords > " +
                     std::to_string(texCoords) + "\t| normals > " + std::to_string(normals) + "\t| triangles > " +
                     std::to_string(triangles);
  return material.empty() ? text : text + "\t| material: " + material;
}

struct ReportCase {
  const char* name;
  std::string model;
  std::string report;
};

std::ostream& operator<<(std::ostream& out, const ReportCase& c) { return out << c.name; }

class ProgressReport : public testing::TestWithParam<ReportCase> {};

TEST_P(ProgressReport, IsWrittenExactly) {
  ModelReader reader;
  EXPECT_EQ(ReadText(&reader, GetParam().model).report, GetParam().report);
}

std::string Comments(int count) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += "#\n";
  return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Models, ProgressReport,
    testing::Values(
        ReportCase{"empty", "", "\n"},
        ReportCase{"nameless_lines_report_nothing", Comments(2000) + kTriangle + kFace, "\n"},
        ReportCase{"line_after_group", std::string("o A\nv 0 0 0\n"), "\n" + Report("A", 0, 0, 0, 0) + "\n"},
        // Triangles are the collected vertices divided by three; the faces'
        // own line is reported before the face is added.
        ReportCase{"triangles_and_material",
                   std::string(kTriangle) + "o A\n" + kFace + kFace + Comments(998) + "vn 0 0 1\nusemtl m\nvt 0 0\n",
                   "\n" + Report("A", 3, 0, 0, 0) + Report("A", 3, 0, 0, 2) + Report("A", 3, 0, 1, 0, "m") + "\n"},
        // The counter wraps after 1000 lines, the group line having set it to 0.
        ReportCase{"every_thousandth_line", "o A\n" + Comments(1001),
                   "\n" + Report("A", 0, 0, 0, 0) + Report("A", 0, 0, 0, 0) + "\n"},
        ReportCase{"first_line_is_number_one", "o A\n" + Comments(999) + "o B\n",
                   "\n" + Report("A", 0, 0, 0, 0) + "\n" + "\n"}),
    [](const testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

struct MaterialCase {
  const char* name;
  std::string text;
  Material expected;
};

std::ostream& operator<<(std::ostream& out, const MaterialCase& c) { return out << c.name; }

Material Named(const std::string& name) {
  Material m;
  m.name = name;
  return m;
}

Material With(Material m, void (*change)(Material*)) {
  change(&m);
  return m;
}

class MaterialLines : public testing::TestWithParam<MaterialCase> {};

TEST_P(MaterialLines, GiveOneMaterial) {
  ModelReader reader;
  ASSERT_TRUE(reader.ReadMaterialsText(GetParam().text));
  ASSERT_EQ(reader.materials.size(), 1u);
  const Material& m = reader.materials[0];
  const Material& e = GetParam().expected;
  EXPECT_EQ(m.name, e.name);
  ExpectVector(m.ambient, e.ambient.x, e.ambient.y, e.ambient.z);
  ExpectVector(m.diffuse, e.diffuse.x, e.diffuse.y, e.diffuse.z);
  ExpectVector(m.specular, e.specular.x, e.specular.y, e.specular.z);
  EXPECT_EQ(m.specularExponent, e.specularExponent);
  EXPECT_EQ(m.opticalDensity, e.opticalDensity);
  EXPECT_EQ(m.dissolve, e.dissolve);
  EXPECT_EQ(m.illumination, e.illumination);
  EXPECT_EQ(m.ambientMap, e.ambientMap);
  EXPECT_EQ(m.diffuseMap, e.diffuseMap);
  EXPECT_EQ(m.specularMap, e.specularMap);
  EXPECT_EQ(m.specularExponentMap, e.specularExponentMap);
  EXPECT_EQ(m.dissolveMap, e.dissolveMap);
  EXPECT_EQ(m.bumpMap, e.bumpMap);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MaterialLines,
    testing::Values(MaterialCase{"two_field_colour_ignored", "newmtl a\nKa 1 0\n", Named("a")},
                    MaterialCase{"trailing_blank_colour_ignored", "newmtl a\nKa 1 0 1 \r\n", Named("a")},
                    MaterialCase{"colour_read", "newmtl a\r\nKs 0.5 0 0.5\r\n",
                                 With(Named("a"),
                                      [](Material* m) {
                                        m->specular = {0.5f, 0, 0.5f};
                                      })},
                    MaterialCase{"scalars_before_carriage_return",
                                 "newmtl a\nNs 96.0784\r\nNi 1.5\r\nd 0.25\r\nillum 7\r\n",
                                 With(Named("a"),
                                      [](Material* m) {
                                        m->specularExponent = 96.0784f;
                                        m->opticalDensity = 1.5f;
                                        m->dissolve = 0.25f;
                                        m->illumination = 7;
                                      })},
                    MaterialCase{"bare_newmtl", "newmtl\n", Named("none")},
                    MaterialCase{"bare_newmtl_crlf", "newmtl\r\n", Named("none")},
                    MaterialCase{"maps_keep_carriage_return",
                                 "newmtl a\nmap_Kd tex.png\r\nmap_Ka a b\nmap_Ks s\nmap_Ns n\nmap_d d\nbump b\n",
                                 With(Named("a"),
                                      [](Material* m) {
                                        m->diffuseMap = "tex.png\r";
                                        m->ambientMap = "a b";
                                        m->specularMap = "s";
                                        m->specularExponentMap = "n";
                                        m->dissolveMap = "d";
                                        m->bumpMap = "b";
                                      })},
                    MaterialCase{"bump_spellings", "map_Bump x\nmap_bump y\n",
                                 With(Named(""), [](Material* m) { m->bumpMap = "y"; })},
                    MaterialCase{"without_newmtl", "Kd 1 1 1\nTr 0.5\nTf 1 1 1\nKe 1 1 1\n",
                                 With(Named(""),
                                      [](Material* m) {
                                        m->diffuse = {1, 1, 1};
                                      })},
                    MaterialCase{"empty_text", "", Named("")}),
    [](const testing::TestParamInfo<MaterialCase>& info) { return std::string(info.param.name); });

TEST(MaterialLines, EachNewmtlClosesThePreviousMaterial) {
  ModelReader reader;
  ASSERT_TRUE(reader.ReadMaterialsText("Kd 1 1 1\nnewmtl a\nillum 1\nnewmtl b\n"));
  ASSERT_EQ(reader.materials.size(), 2u);
  EXPECT_EQ(reader.materials[0].name, "a");
  EXPECT_EQ(reader.materials[0].illumination, 1);
  ExpectVector(reader.materials[0].diffuse, 1, 1, 1);  // the lines before the first newmtl
  EXPECT_EQ(reader.materials[1].name, "b");
  EXPECT_EQ(reader.materials[1].illumination, 0);
}

struct BadCase {
  const char* name;
  std::string model;
  std::string material;
};

std::ostream& operator<<(std::ostream& out, const BadCase& c) { return out << c.name; }

class UnreadableModel : public testing::TestWithParam<BadCase> {};

TEST_P(UnreadableModel, FailsTheRead) {
  ModelReader reader;
  EXPECT_FALSE(ReadText(&reader, std::string(kTriangle) + GetParam().model + "o Z\n" + kFace, GetParam().material).ok);
}

INSTANTIATE_TEST_SUITE_P(
    MalformedNumbers, UnreadableModel,
    testing::Values(BadCase{"empty_field", "v 1  2 3\n", ""}, BadCase{"word_for_number", "v a 0 0\n", ""},
                    BadCase{"texcoord_word", "vt 0 x\n", ""}, BadCase{"normal_word", "vn 0 0 -\n", ""},
                    BadCase{"nan", "v nan 0 0\n", ""}, BadCase{"beyond_float", "v 1e39 0 0\n", ""},
                    BadCase{"beyond_double", "vn 1e999 0 0\n", ""}, BadCase{"face_word", "f 1 2 x\n", ""},
                    BadCase{"face_index_beyond_int", "f 1 2 4294967299\n", ""},
                    BadCase{"material_scalar", "mtllib m\n", "newmtl a\nNs abc\n"},
                    BadCase{"material_scalar_missing", "mtllib m\n", "newmtl a\nd\n"},
                    BadCase{"material_colour", "mtllib m\n", "newmtl a\nKd 1 x 1\n"},
                    BadCase{"material_illum", "mtllib m\n", "newmtl a\nillum 99999999999\n"}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    BeyondTheData, UnreadableModel,
    testing::Values(BadCase{"position_zero", "f 0 1 2\n", ""}, BadCase{"position_above", "f 1 2 4\n", ""},
                    BadCase{"position_below", "f -4 1 2\n", ""}, BadCase{"texcoord_missing", "f 1/1 2/1 3/1\n", ""},
                    BadCase{"normal_missing", "f 1//1 2//1 3//1\n", ""}, BadCase{"short_position", "v 1 2\n", ""},
                    BadCase{"short_texcoord", "vt 1\n", ""}, BadCase{"short_normal", "vn 0 1\n", ""}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST(UnreadableModel, ControlModelReads) {
  ModelReader reader;
  EXPECT_TRUE(ReadText(&reader, std::string(kTriangle) + "mtllib m\no Z\n" + kFace, "newmtl a\nNs 1\n").ok);
}

TEST(UnreadableModel, BadMaterialAlsoFailsReadMaterials) {
  ModelReader reader;
  EXPECT_FALSE(reader.ReadMaterialsText("newmtl a\nillum 1\nnewmtl b\nNi ?\n"));
  ASSERT_EQ(reader.materials.size(), 1u);  // the complete material before the bad line stays
  EXPECT_EQ(reader.materials[0].name, "a");
}

}  // namespace
}  // namespace objl
