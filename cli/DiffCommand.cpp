// wbk diff: two libraries compared group by group, the groups matched by
// index: their texts and ticks, and the phrases added, removed, moved from
// another group or given another frequency. Both stores are sorted by text,
// so one pass over the two finds every phrase's counterpart.
#include <algorithm>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "GbkText.h"
#include "JobCommands.h"
#include "CommandLine.h"
#include "JsonText.h"
#include "LibraryFiles.h"
#include "LibraryJson.h"
#include "LoadReport.h"
#include "StoreWalk.h"
#include "Tabrix.h"

namespace {

enum DiffKind { DIFF_ADDED, DIFF_REMOVED, DIFF_MOVED, DIFF_FREQUENCY, DIFF_KINDS };
// The JSON names of the kinds, and the marks of the text output's lines.
const char* const kKindNames[DIFF_KINDS] = {"added", "removed", "moved", "frequency_changed"};
const char* const kKindMarks[DIFF_KINDS] = {"+", "-", ">", "~"};

// One phrase that differs: its record in A, in B, or both (pointers into the
// stores, which do not change while the diff lives).
struct tagPHRASEDIFF {
  const tagPHRASE2* pOld;
  const tagPHRASE2* pNew;
};

// A group field that differs: its name and its two values (texts in GBK).
struct tagFIELDDIFF {
  const char* pszField;
  std::string strOld, strNew;
};

struct tagGROUPDIFF {
  bool bInOld = false, bInNew = false;
  std::vector<tagFIELDDIFF> arrFields;
  std::vector<tagPHRASEDIFF> arrPhrases[DIFF_KINDS];

  bool Differs() const {
    bool any = bInOld != bInNew || !arrFields.empty();
    for (const auto& list : arrPhrases) any = any || !list.empty();
    return any;
  }
};

std::string GroupField(CTabrix& lib, uint32_t g, size_t offset, size_t width) {
  return FieldText(reinterpret_cast<const char*>(lib.GetGroup(g)) + offset, width);
}

void CompareGroups(CTabrix& a, CTabrix& b, std::vector<tagGROUPDIFF>* pGroups) {
  const uint32_t nA = a.GetGroupCount(), nB = b.GetGroupCount();
  pGroups->assign(std::max(nA, nB), tagGROUPDIFF());
  const struct {
    const char* pszField;
    size_t nOffset, nWidth;
  } fields[] = {
      {"name", offsetof(tagGROUPINFO, szName), sizeof(tagGROUPINFO::szName)},
      {"editor", offsetof(tagGROUPINFO, szEditor), sizeof(tagGROUPINFO::szEditor)},
      {"remark", offsetof(tagGROUPINFO, szRemark), sizeof(tagGROUPINFO::szRemark)},
  };
  for (uint32_t g = 0; g < pGroups->size(); ++g) {
    tagGROUPDIFF& d = (*pGroups)[g];
    d.bInOld = g < nA;
    d.bInNew = g < nB;
    if (!d.bInOld || !d.bInNew) continue;
    for (const auto& f : fields) {
      std::string old = GroupField(a, g, f.nOffset, f.nWidth);
      std::string now = GroupField(b, g, f.nOffset, f.nWidth);
      if (old != now) d.arrFields.push_back({f.pszField, old, now});
    }
    const bool tickOld = a.GetGroup(g)->bEnable != 0, tickNew = b.GetGroup(g)->bEnable != 0;
    if (tickOld != tickNew)
      d.arrFields.push_back({"ticked", tickOld ? "yes" : "no", tickNew ? "yes" : "no"});
  }
}

void ComparePhrases(CTabrix& a, CTabrix& b, std::vector<tagGROUPDIFF>* pGroups) {
  CStoreWalk wa(a), wb(b);
  std::vector<tagGROUPDIFF>& groups = *pGroups;
  // The loader keeps only phrases of the library's groups; stay safe anyway.
  auto add = [&](uint8_t g, DiffKind kind, const tagPHRASE2* pOld, const tagPHRASE2* pNew) {
    if (g < groups.size()) groups[g].arrPhrases[kind].push_back({pOld, pNew});
  };
  while (wa.Get() != nullptr || wb.Get() != nullptr) {
    const tagPHRASE2* pa = wa.Get();
    const tagPHRASE2* pb = wb.Get();
    const int d = pa == nullptr ? 1 : pb == nullptr ? -1 : ComparePhrase(pa, pb, nullptr);
    if (d < 0) {
      add(pa->byGroup, DIFF_REMOVED, pa, nullptr);
      wa.Advance();
    } else if (d > 0) {
      add(pb->byGroup, DIFF_ADDED, nullptr, pb);
      wb.Advance();
    } else {
      if (pa->byGroup != pb->byGroup) {
        add(pb->byGroup, DIFF_MOVED, pa, pb);
      } else if (pa->byFreq != pb->byFreq) {
        add(pb->byGroup, DIFF_FREQUENCY, pa, pb);
      }
      wa.Advance();
      wb.Advance();
    }
  }
}

std::string Text(const tagPHRASE2* p) {
  return std::string(p->szWord, FieldTextLength(p->szWord, p->cLen));
}

std::string GroupName(CTabrix& a, CTabrix& b, uint32_t g) {
  CTabrix& lib = g < b.GetGroupCount() ? b : a;
  return GroupField(lib, g, offsetof(tagGROUPINFO, szName), sizeof(tagGROUPINFO::szName));
}

void PrintText(const tagCLICONTEXT& ctx, CTabrix& a, CTabrix& b,
               const std::vector<tagGROUPDIFF>& groups, const uint64_t* totals) {
  std::ostream& out = *ctx.pOut;
  uint64_t nFields = 0;
  for (uint32_t g = 0; g < groups.size(); ++g) {
    const tagGROUPDIFF& d = groups[g];
    if (!d.Differs()) continue;
    out << "group " << g << " \"" << Shown(ctx, GroupName(a, b, g)) << "\":";
    if (d.bInOld != d.bInNew) out << (d.bInNew ? " only in B" : " only in A");
    out << "\n";
    for (const tagFIELDDIFF& f : d.arrFields) {
      ++nFields;
      if (f.pszField == std::string("ticked")) {
        out << "  ticked: " << f.strOld << " -> " << f.strNew << "\n";
      } else {
        out << "  " << f.pszField << ": \"" << Shown(ctx, f.strOld) << "\" -> \""
            << Shown(ctx, f.strNew) << "\"\n";
      }
    }
    for (int kind = 0; kind < DIFF_KINDS; ++kind) {
      for (const tagPHRASEDIFF& p : d.arrPhrases[kind]) {
        const tagPHRASE2* one = p.pNew ? p.pNew : p.pOld;
        out << "  " << kKindMarks[kind] << " " << Shown(ctx, Text(one)) << "\t";
        if (p.pOld && p.pNew && p.pOld->byFreq != p.pNew->byFreq) {
          out << static_cast<unsigned>(p.pOld->byFreq) << " -> ";
        }
        out << static_cast<unsigned>(one->byFreq);
        if (kind == DIFF_MOVED) out << "\tfrom group " << static_cast<unsigned>(p.pOld->byGroup);
        out << "\n";
      }
    }
  }
  out << totals[DIFF_ADDED] << " added, " << totals[DIFF_REMOVED] << " removed, "
      << totals[DIFF_MOVED] << " moved, " << totals[DIFF_FREQUENCY] << " with another frequency; "
      << nFields << " group fields changed\n";
}

// A phrase object, with its old frequency and former group where they apply.
std::string PhraseText(const tagPHRASEDIFF& p, int kind) {
  const tagPHRASE2* rec = p.pNew ? p.pNew : p.pOld;
  std::string text = PhraseJsonText(Text(rec), rec->byFreq, rec->byGroup);
  text.pop_back();  // '}'
  if (p.pOld && p.pNew) text += ",\"old_frequency\":" + std::to_string(p.pOld->byFreq);
  if (kind == DIFF_MOVED) text += ",\"from_group\":" + std::to_string(p.pOld->byGroup);
  return text + "}";
}

// Written as it goes: two libraries that share nothing differ in every phrase.
void PrintJson(const tagCLICONTEXT& ctx, const tagDIFFARGS& args, CTabrix& a, CTabrix& b,
               const std::vector<tagGROUPDIFF>& groups, const uint64_t* totals, bool same) {
  std::ostream& out = *ctx.pOut;
  CJson json = CommandJson("diff");
  json["files"] = CJson::array(
      {CJson{{"file", JsonTextPath(args.strOld)}}, CJson{{"file", JsonTextPath(args.strNew)}}});
  json["same"] = same;
  for (int kind = 0; kind < DIFF_KINDS; ++kind) {
    json[std::string(kKindNames[kind]) + "_count"] = totals[kind];
  }
  json["changed_groups"] = CJson::array();
  out << JsonDumpOpen(json);
  bool first = true;
  for (uint32_t g = 0; g < groups.size(); ++g) {
    const tagGROUPDIFF& d = groups[g];
    if (!d.Differs()) continue;
    CJson one;
    one["group"] = g;
    one["in"] = d.bInOld && d.bInNew ? "both" : d.bInOld ? "a" : "b";
    // The group as each library has it; the fields that differ are named.
    CJson fields = CJson::array();
    for (const tagFIELDDIFF& f : d.arrFields) fields.push_back(f.pszField);
    one["changed_fields"] = std::move(fields);
    if (d.bInOld) one["a"] = GroupJson(a, g);
    if (d.bInNew) one["b"] = GroupJson(b, g);
    std::string head = JsonDump(one);
    head.pop_back();  // '}'
    out << (first ? "" : ",") << head;
    first = false;
    for (int kind = 0; kind < DIFF_KINDS; ++kind) {
      out << ",\"" << kKindNames[kind] << "\":[";
      for (size_t i = 0; i < d.arrPhrases[kind].size(); ++i) {
        out << (i ? "," : "") << PhraseText(d.arrPhrases[kind][i], kind);
      }
      out << "]";
    }
    out << "}";
  }
  out << "]}\n";
}

}  // namespace

int RunDiff(const tagCLICONTEXT& ctx, const tagDIFFARGS& args) {
  const LoadDamagePolicy policy = args.bSalvage ? DAMAGE_SALVAGE : DAMAGE_REFUSE;
  CTabrix a, b;
  if (!LoadLibraryFile(ctx, a, args.strOld, policy) ||
      !LoadLibraryFile(ctx, b, args.strNew, policy)) {
    return EXIT_FAILED;
  }
  std::vector<tagGROUPDIFF> groups;
  CompareGroups(a, b, &groups);
  ComparePhrases(a, b, &groups);
  uint64_t totals[DIFF_KINDS] = {};
  bool same = true;
  for (const tagGROUPDIFF& d : groups) {
    same = same && !d.Differs();
    for (int kind = 0; kind < DIFF_KINDS; ++kind) totals[kind] += d.arrPhrases[kind].size();
  }
  if (args.bJson) {
    PrintJson(ctx, args, a, b, groups, totals, same);
  } else if (!same) {
    PrintText(ctx, a, b, groups, totals);
  }
  return same ? EXIT_DONE : EXIT_WARNINGS;
}

namespace {

int RunDiffCommand(const tagCLICONTEXT& ctx, const CCommandLine& line) {
  tagDIFFARGS args;
  args.strOld = line.GetArgs()[0];
  args.strNew = line.GetArgs()[1];
  args.bJson = line.Has("--json");
  args.bSalvage = line.Has("--salvage");
  if (RefuseSpecialFile(ctx, args.strOld) || RefuseSpecialFile(ctx, args.strNew)) {
    return EXIT_FAILED;
  }
  return RunDiff(ctx, args);
}

}  // namespace

extern const tagCOMMANDDEF kDiffCommand = {
    "diff",
    "A B [--json]",
    "what differs between two libraries",
    "Compare the library A with the library B, group by group (groups are matched by index): "
    "the groups' names, editors, remarks and ticks, and the phrases added, removed, moved from "
    "another group, or given another frequency. Exit 0 when they are the same, 1 when they "
    "differ.",
    {OPTION_JSON, OPTION_SALVAGE},
    2,
    2,
    &RunDiffCommand};
