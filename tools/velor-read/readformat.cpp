#include "readformat.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <set>

#include "codepage.h"
#include "messages.h"

namespace {

using nlohmann::json;

const long kMaxRecord = 1 << 20;  // the largest record buffer the tool allocates

// A JSON integer within [low, high] at key of object, or the message saying
// why it is not one.
std::string GetInt(const json& object, const char* key, long low, long high, long* out) {
  auto it = object.find(key);
  if (it == object.end()) return Tr("missing \"%s\"", {key});
  if (!it->is_number_integer()) return Tr("\"%s\" must be an integer", {key});
  const long long v = it->get<long long>();
  if (v < low || v > high) {
    return Tr("\"%s\" must lie in %s to %s", {key, std::to_string(low), std::to_string(high)});
  }
  *out = static_cast<long>(v);
  return "";
}

std::string GetBool(const json& object, const char* key, bool* out) {
  auto it = object.find(key);
  if (it == object.end()) return "";
  if (!it->is_boolean()) return Tr("\"%s\" must be true or false", {key});
  *out = it->get<bool>();
  return "";
}

// Refuses keys outside allowed, so that a misspelt setting is not ignored.
std::string CheckKeys(const json& object, const std::set<std::string>& allowed, const std::string& where) {
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (!allowed.count(it.key())) return Tr("unknown key \"%s\" in %s", {it.key(), where});
  }
  return "";
}

std::string ParseItem(const json& j, long index, StTAFORMAT* f) {
  const std::string where = Tr("item %s", {std::to_string(index + 1)});
  if (!j.is_object()) return Tr("%s must be an object", {where});
  std::string e = CheckKeys(j, {"szName", "lWidth", "lDecimals", "lOffset", "lSize", "lType", "lRequired"}, where);
  if (!e.empty()) return e;
  std::memset(f, 0, sizeof *f);
  auto name = j.find("szName");
  if (name != j.end()) {
    std::string cp932;
    if (!name->is_string() || !Utf8ToCp932(name->get<std::string>(), &cp932)) {
      return where + ": " + Tr("\"szName\" must be text with a code page 932 form");
    }
    if (cp932.size() >= sizeof f->szName) return where + ": " + Tr("\"szName\" is longer than 35 bytes");
    std::memcpy(f->szName, cp932.data(), cp932.size());
  }
  long width = 0, decimals = 0, offset = 0, size = 0, type = 0, required = 0;
  if (!(e = GetInt(j, "lWidth", 0, ClTextAccessor::kLineSize - 1, &width)).empty() ||
      !(e = GetInt(j, "lOffset", 0, kMaxRecord, &offset)).empty() ||
      !(e = GetInt(j, "lSize", 1, ClTextAccessor::kLineSize, &size)).empty() ||
      !(e = GetInt(j, "lType", 0, 2, &type)).empty()) {
    return where + ": " + e;
  }
  if (j.contains("lDecimals") && !(e = GetInt(j, "lDecimals", 0, 4, &decimals)).empty()) return where + ": " + e;
  if (j.contains("lRequired") && !(e = GetInt(j, "lRequired", 0, 1, &required)).empty()) return where + ": " + e;
  if (type != ClTextAccessor::TAT_STRING && size != 1 && size != 2 && size != 4 && size != 8) {
    return where + ": " + Tr("a number's \"lSize\" must be 1, 2, 4 or 8");
  }
  if (offset + size > kMaxRecord) return where + ": " + Tr("the item ends beyond the 1 MiB record buffer");
  f->lWidth = static_cast<int32_t>(width);
  f->lDecimals = static_cast<int32_t>(decimals);
  f->lOffset = static_cast<int32_t>(offset);
  f->lSize = static_cast<int32_t>(size);
  f->lType = static_cast<int32_t>(type);
  f->lRequired = static_cast<int32_t>(required);
  return "";
}

}  // namespace

std::string ParseReadFormat(const std::string& text, ReadFormat* format) {
  json j;
  // A key given twice in one object is refused: one of the values would be
  // dropped without a word.
  std::vector<std::set<std::string>> keys;
  std::string duplicate;
  auto track = [&](int, json::parse_event_t event, json& parsed) {
    if (event == json::parse_event_t::object_start) keys.emplace_back();
    if (event == json::parse_event_t::object_end && !keys.empty()) keys.pop_back();
    if (event == json::parse_event_t::key && !keys.empty() &&
        !keys.back().insert(parsed.get<std::string>()).second && duplicate.empty()) {
      duplicate = parsed.get<std::string>();
    }
    return true;
  };
  try {
    j = json::parse(text, track);
  } catch (const json::exception& e) {
    return Tr("not valid JSON: %s", {e.what()});
  }
  if (!duplicate.empty()) return Tr("the key \"%s\" is given twice in one object", {duplicate});
  if (!j.is_object()) return Tr("the format must be a JSON object");
  std::string e = CheckKeys(
      j, {"layout", "quote", "comment", "skip_comments", "space_flag", "header_lines", "items"}, Tr("the format"));
  if (!e.empty()) return e;

  auto layout = j.find("layout");
  const char* layoutChoice = Tr("\"layout\" must be \"fixed\", \"comma\", \"tab\" or \"space\"");
  if (layout == j.end() || !layout->is_string()) return layoutChoice;
  const std::string l = layout->get<std::string>();
  if (l == "fixed") format->layout = ClTextAccessor::DLM_FIXED;
  else if (l == "comma") format->layout = ClTextAccessor::DLM_COMMA;
  else if (l == "tab") format->layout = ClTextAccessor::DLM_TAB;
  else if (l == "space") format->layout = ClTextAccessor::DLM_SPACE;
  else return layoutChoice;

  auto quote = j.find("quote");
  if (quote != j.end()) {
    const std::string q = quote->is_string() ? quote->get<std::string>() : "";
    if (q == "none") format->quote = ClTextAccessor::QUOTE_NONE;
    else if (q == "single") format->quote = ClTextAccessor::QUOTE_SINGLE;
    else if (q == "double") format->quote = ClTextAccessor::QUOTE_DOUBLE;
    else return Tr("\"quote\" must be \"none\", \"single\" or \"double\"");
  }
  if (format->layout == ClTextAccessor::DLM_FIXED && format->quote != ClTextAccessor::QUOTE_NONE) {
    return Tr("fixed-width lines take no quote characters");
  }

  auto comment = j.find("comment");
  if (comment != j.end() && !comment->is_null()) {
    if (!comment->is_string() || !Utf8ToCp932(comment->get<std::string>(), &format->comment)) {
      return Tr("\"comment\" must be text with a code page 932 form");
    }
    if (format->comment.find('\0') != std::string::npos) return Tr("\"comment\" must not hold a NUL");
    // An empty mark would make every line a comment.
    if (format->comment.empty()) return Tr("\"comment\" must not be empty (leave it out for no comments)");
    format->hasComment = true;
  }
  if (!(e = GetBool(j, "skip_comments", &format->skipComments)).empty()) return e;
  if (!(e = GetBool(j, "space_flag", &format->spaceFlag)).empty()) return e;
  if (j.contains("header_lines") && !(e = GetInt(j, "header_lines", 0, 1000000, &format->headerLines)).empty()) {
    return e;
  }

  auto items = j.find("items");
  if (items == j.end() || !items->is_array() || items->empty()) return Tr("\"items\" must be a non-empty array");
  if (static_cast<long>(items->size()) > ClTextAccessor::kMaxPositions) {
    return Tr("a line holds at most %s items", {std::to_string(ClTextAccessor::kMaxPositions)});
  }
  format->items.resize(items->size());
  format->recordSize = 0;
  for (size_t i = 0; i < items->size(); ++i) {
    if (!(e = ParseItem((*items)[i], static_cast<long>(i), &format->items[i])).empty()) return e;
    const long end = format->items[i].lOffset + format->items[i].lSize;
    if (end > format->recordSize) format->recordSize = end;
  }
  return "";
}
