#include "E2eLibrary.h"

#include <cstdio>
#include <cstring>

namespace {

std::string DescribeRow(const tagROW& row) {
  char box[16];
  std::snprintf(box, sizeof box, "%d", row.nImage);
  return "[" + row.strName + " | " + row.strCount + " | " + row.strEditor + " | " + row.strRemark +
         " | box " + box + "]";
}

bool SameRow(const tagROW& a, const tagROW& b) {
  return a.strName == b.strName && a.strCount == b.strCount && a.strEditor == b.strEditor &&
         a.strRemark == b.strRemark && a.nImage == b.nImage;
}

}  // namespace

void WriteBytes(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) Fail("cannot create %s", path.c_str());
  const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
  if (std::fclose(file) != 0 || written != bytes.size()) {
    Fail("cannot write %s", path.c_str());
  }
}

std::string ReadBytes(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) Fail("cannot open %s", path.c_str());
  std::string bytes;
  char buffer[4096];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  std::fclose(file);
  return bytes;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string out = "Z:" + path;
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

std::string Join(const std::string& dir, const std::string& name) {
  if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) return dir + name;
  return dir + "\\" + name;
}

std::vector<tagROW> RowsOfLibrary(CTabrix& library) {
  std::vector<tagROW> rows;
  for (uint32_t i = 0; i < library.GetGroupCount(); ++i) {
    const tagGROUPINFO* g = library.GetGroup(i);
    char count[16];
    std::snprintf(count, sizeof count, "%u", static_cast<unsigned>(g->dwCount));
    rows.push_back({FieldText(g->szName, sizeof g->szName), count,
                    FieldText(g->szEditor, sizeof g->szEditor),
                    FieldText(g->szRemark, sizeof g->szRemark), g->bEnable ? 2 : 1});
  }
  return rows;
}

std::vector<tagROW> RowsOfList(const CRemoteList& list) {
  std::vector<tagROW> rows;
  const int count = list.Count();
  for (int i = 0; i < count; ++i) {
    rows.push_back(
        {list.Text(i, 0), list.Text(i, 1), list.Text(i, 2), list.Text(i, 3), list.StateImage(i)});
  }
  return rows;
}

void ExpectRows(const char* step, const CRemoteList& list, CTabrix& library) {
  const std::vector<tagROW> expected = RowsOfLibrary(library);
  const std::vector<tagROW> shown = RowsOfList(list);
  bool same = shown.size() == expected.size();
  for (size_t i = 0; same && i < shown.size(); ++i) same = SameRow(shown[i], expected[i]);
  if (same) {
    for (const tagROW& row : shown) Log("  row %s", DescribeRow(row).c_str());
    return;
  }
  Log("%s: the list shows %u rows:", step, static_cast<unsigned>(shown.size()));
  for (const tagROW& row : shown) Log("  %s", DescribeRow(row).c_str());
  Log("expected %u rows:", static_cast<unsigned>(expected.size()));
  for (const tagROW& row : expected) Log("  %s", DescribeRow(row).c_str());
  Fail("%s: the rows differ from the library", step);
}

void SetGroupTexts(CTabrix& library, uint32_t group, const std::string& name,
                   const std::string& editor, const std::string& remark) {
  tagGROUPINFO* g = library.GetGroup(group);
  if (!g || name.size() >= sizeof g->szName || editor.size() >= sizeof g->szEditor ||
      remark.size() >= sizeof g->szRemark) {
    Fail("cannot set the texts of group %u", static_cast<unsigned>(group));
  }
  std::memset(g->szName, 0, sizeof g->szName);
  std::memset(g->szEditor, 0, sizeof g->szEditor);
  std::memset(g->szRemark, 0, sizeof g->szRemark);
  std::memcpy(g->szName, name.data(), name.size());
  std::memcpy(g->szEditor, editor.data(), editor.size());
  std::memcpy(g->szRemark, remark.data(), remark.size());
}

size_t ExpectSameLibraryFile(const std::string& actualPath, const std::string& expectedPath) {
  const std::string actual = ReadBytes(actualPath);
  const std::string expected = ReadBytes(expectedPath);
  if (actual.size() != expected.size()) {
    Fail("%s holds %u bytes, the expected library %u", actualPath.c_str(),
         static_cast<unsigned>(actual.size()), static_cast<unsigned>(expected.size()));
  }
  if (actual.size() < 12) Fail("%s is shorter than a header", actualPath.c_str());
  for (size_t i = 0; i < actual.size(); ++i) {
    if (i >= 8 && i < 12) continue;  // the stamp: the tick count at saving
    if (actual[i] != expected[i]) {
      Fail("%s differs from the expected library at byte %u (0x%02x, expected 0x%02x)",
           actualPath.c_str(), static_cast<unsigned>(i), static_cast<unsigned char>(actual[i]),
           static_cast<unsigned char>(expected[i]));
    }
  }
  return actual.size();
}
