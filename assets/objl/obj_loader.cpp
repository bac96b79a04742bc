#include "assets/objl/obj_loader.h"

#include <cmath>
#include <map>
#include <ostream>
#include <set>

#include "assets/objl/obj_geometry.h"
#include "assets/objl/obj_text.h"

namespace objl {

bool operator==(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
bool operator!=(const Vector3& a, const Vector3& b) { return !(a == b); }
Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vector3 Cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

float Length(const Vector3& a) { return std::sqrt(std::pow(a.x, 2.0f) + std::pow(a.y, 2.0f) + std::pow(a.z, 2.0f)); }

float AngleBetween(const Vector3& a, const Vector3& b) { return std::acos(Dot(a, b) / (Length(a) * Length(b))); }

namespace {

// Lines end at a line feed; a final line feed starts no further line.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {}

  bool Next(std::string_view* line) {
    if (rest_.empty()) return false;
    size_t end = rest_.find('\n');
    *line = rest_.substr(0, end);
    rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
    return true;
  }

 private:
  std::string_view rest_;
};

// A carriage return takes the character after it along, so CR LF text reads
// like LF text and a stray CR inside a line cuts out one character.
std::string RemoveCarriageReturns(std::string_view line) {
  std::string clean;
  clean.reserve(line.size());
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\r') {
      ++i;
    } else {
      clean += line[i];
    }
  }
  return clean;
}

bool ReadVector3(const std::vector<std::string>& fields, Vector3* v) {
  return fields.size() >= 3 && ParseFloat(fields[0], &v->x) && ParseFloat(fields[1], &v->y) &&
         ParseFloat(fields[2], &v->z);
}

bool ReadVector2(const std::vector<std::string>& fields, Vector2* v) {
  return fields.size() >= 2 && ParseFloat(fields[0], &v->x) && ParseFloat(fields[1], &v->y);
}

// The working state of one model read; it writes into the reader's lists.
class ModelRead {
 public:
  ModelRead(ModelReader* reader, std::string_view materialText, std::ostream* progress)
      : reader_(*reader), materialText_(materialText), progress_(*progress) {}

  // False when the line cannot be read; the read then stops.
  bool ReadLine(const std::string& line) {
    ReportProgress();
    std::string head = HeadWord(line);
    if (head == "o" || head == "g" || (!line.empty() && line[0] == 'g')) {
      StartGroup(line, head == "o" || head == "g");
      return true;
    }
    if (head == "v") return AppendValue(line, &positions_, ReadVector3);
    if (head == "vt") return AppendValue(line, &texCoords_, ReadVector2);
    if (head == "vn") return AppendValue(line, &normals_, ReadVector3);
    if (head == "f") return AddFace(line);
    if (head == "usemtl") {
      UseMaterial(line);
      return true;
    }
    if (head == "mtllib") return reader_.ReadMaterialsText(materialText_);
    return true;
  }

  void Finish() {
    progress_ << std::endl;
    if (HasCollectedMesh()) CloseMesh(meshName_);
    BindMaterials();
  }

 private:
  void ReportProgress() {
    counter_ = (counter_ + 1) % 1000;
    if (counter_ != 1 || meshName_.empty()) return;
    progress_ << "\r- " << meshName_ << "\t| vertices > " << positions_.size() << "\t| texcoords > "
              << texCoords_.size() << "\t| normals > " << normals_.size() << "\t| triangles > " << vertices_.size() / 3;
    if (!materialNames_.empty()) progress_ << "\t| material: " << materialNames_.back();
  }

  // Before the first group line a group line only names the mesh; after it,
  // it also closes the mesh collected so far.
  void StartGroup(const std::string& line, bool isGroupWord) {
    if (grouped_ && HasCollectedMesh()) {
      CloseMesh(meshName_);
      meshName_ = RestOfLine(line);
    } else {
      meshName_ = isGroupWord ? RestOfLine(line) : "unnamed";
    }
    grouped_ = true;
    progress_ << std::endl;
    counter_ = 0;
  }

  template <typename T, typename Reader>
  bool AppendValue(const std::string& line, std::vector<T>* pool, Reader read) {
    T value;
    if (!read(SplitFields(RestOfLine(line), " "), &value)) return false;
    pool->push_back(value);
    return true;
  }

  bool AddFace(const std::string& line) {
    std::vector<Vertex> face;
    if (!BuildFaceVertices(positions_, texCoords_, normals_, line, &face)) return false;
    vertices_.insert(vertices_.end(), face.begin(), face.end());
    reader_.allVertices.insert(reader_.allVertices.end(), face.begin(), face.end());
    const auto meshBase = static_cast<uint32_t>(vertices_.size() - face.size());
    const auto allBase = static_cast<uint32_t>(reader_.allVertices.size() - face.size());
    for (uint32_t k : TriangulateFace(face)) {
      indices_.push_back(meshBase + k);
      reader_.allIndices.push_back(allBase + k);
    }
    return true;
  }

  void UseMaterial(const std::string& line) {
    materialNames_.push_back(RestOfLine(line));
    if (HasCollectedMesh()) CloseMesh(NumberedName());
    counter_ = 0;
  }

  bool HasCollectedMesh() const { return !vertices_.empty() && !indices_.empty(); }

  void CloseMesh(const std::string& name) {
    Mesh mesh;
    mesh.name = name;
    mesh.vertices.swap(vertices_);
    mesh.indices.swap(indices_);
    reader_.meshes.push_back(std::move(mesh));
    closedNames_.insert(name);
  }

  // The current name, "_" and the first number from 2 on that no closed mesh
  // of this read carries yet.
  std::string NumberedName() {
    int& number = nextNumber_.try_emplace(meshName_, 2).first->second;
    std::string name;
    do {
      name = meshName_ + "_" + std::to_string(number++);
    } while (closedNames_.count(name) != 0);
    return name;
  }

  // The i-th "usemtl" name goes to the i-th mesh; names beyond the last mesh
  // have no mesh to go to.
  void BindMaterials() {
    for (size_t i = 0; i < materialNames_.size() && i < reader_.meshes.size(); ++i) {
      for (const Material& material : reader_.materials) {
        if (material.name == materialNames_[i]) {
          reader_.meshes[i].material = material;
          break;
        }
      }
    }
  }

  ModelReader& reader_;
  std::string_view materialText_;
  std::ostream& progress_;
  std::vector<Vector3> positions_;
  std::vector<Vector2> texCoords_;
  std::vector<Vector3> normals_;
  std::vector<Vertex> vertices_;
  std::vector<uint32_t> indices_;
  std::vector<std::string> materialNames_;
  std::string meshName_;
  bool grouped_ = false;
  int counter_ = 1000;
  std::set<std::string> closedNames_;
  std::map<std::string, int> nextNumber_;
};

bool ReadColour(const std::string& line, Vector3* colour) {
  std::vector<std::string> fields = SplitFields(RestOfLine(line), " ");
  if (fields.size() != 3) return true;  // not a colour: the line is ignored
  return ReadVector3(fields, colour);
}

std::string* MapField(const std::string& head, Material* m) {
  if (head == "map_Ka") return &m->ambientMap;
  if (head == "map_Kd") return &m->diffuseMap;
  if (head == "map_Ks") return &m->specularMap;
  if (head == "map_Ns") return &m->specularExponentMap;
  if (head == "map_d") return &m->dissolveMap;
  if (head == "map_Bump" || head == "map_bump" || head == "bump") return &m->bumpMap;
  return nullptr;
}

float* ScalarField(const std::string& head, Material* m) {
  if (head == "Ns") return &m->specularExponent;
  if (head == "Ni") return &m->opticalDensity;
  if (head == "d") return &m->dissolve;
  return nullptr;
}

Vector3* ColourField(const std::string& head, Material* m) {
  if (head == "Ka") return &m->ambient;
  if (head == "Kd") return &m->diffuse;
  if (head == "Ks") return &m->specular;
  return nullptr;
}

// A "newmtl" line of up to 7 characters carries no name.
std::string MaterialName(const std::string& line) {
  return line.size() <= 7 ? std::string("none") : TrimLineBreaks(RestOfLine(line));
}

// One material line; false when its number cannot be read. The material text
// keeps its carriage returns; the head word is compared without them, so a
// CR LF library reads like an LF one.
bool ReadMaterialLine(const std::string& line, Material* working, bool* started, std::vector<Material>* done) {
  std::string head = TrimLineBreaks(HeadWord(line));
  if (head == "newmtl") {
    if (*started) {
      done->push_back(*working);
      *working = Material();
    }
    *started = true;
    working->name = MaterialName(line);
    return true;
  }
  if (Vector3* colour = ColourField(head, working)) return ReadColour(line, colour);
  if (float* scalar = ScalarField(head, working)) return ParseFloat(RestOfLine(line), scalar);
  if (head == "illum") return ParseInt(RestOfLine(line), &working->illumination);
  if (std::string* map = MapField(head, working)) *map = RestOfLine(line);
  return true;
}

}  // namespace

ModelReader::ModelReader() = default;

ModelReader::~ModelReader() { meshes.clear(); }

bool ModelReader::ReadModelText(std::string_view modelText, std::string_view materialText, std::ostream& progress) {
  meshes.clear();
  allVertices.clear();
  allIndices.clear();
  ModelRead read(this, materialText, &progress);
  LineReader lines(modelText);
  std::string_view line;
  while (lines.Next(&line)) {
    if (!read.ReadLine(RemoveCarriageReturns(line))) return false;
  }
  read.Finish();
  return !meshes.empty() || !allVertices.empty() || !allIndices.empty();
}

bool ModelReader::ReadMaterialsText(std::string_view materialText) {
  Material working;
  bool started = false;
  LineReader lines(materialText);
  std::string_view line;
  while (lines.Next(&line)) {
    if (!ReadMaterialLine(std::string(line), &working, &started, &materials)) return false;
  }
  materials.push_back(working);
  return true;
}

}  // namespace objl
