#include "textedit/typing_rules.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace tstools::text {

uint8_t SmartQuote(uint8_t typed, int previous, const QuoteTable &q) {
  bool isDouble = typed == q.straightDouble, isSingle = typed == q.straightSingle;
  if (!isDouble && !isSingle) return typed;
  bool opening = previous < 0 || previous <= 32 || previous == 0xCA || previous == '(' || previous == '{' ||
                 previous == '[' || previous == '<';
  if (isDouble) return opening || previous == q.leftSingle ? q.leftDouble : q.rightDouble;
  return opening || previous == q.leftDouble ? q.leftSingle : q.rightSingle;
}

bool EndsTypingBatch(uint32_t vk) {
  return vk == 27 || (vk >= 33 && vk <= 40) || (vk >= 45 && vk <= 47) || (vk >= 112 && vk <= 126);
}

namespace {

struct SchemePrefix {
  const char *prefix;
  int scheme;
};
constexpr SchemePrefix kSchemes[] = {
    {"ftp://", kUrlFtp}, {"http://", kUrlHttp}, {"file://", kUrlFile}, {"mailto:", kUrlMailto}, {"news://", kUrlNews}};

bool Delimits(uint8_t c, uint8_t bracket) { return c <= 32 || c == 0xCA || c == bracket; }
bool Trimmed(uint8_t c) { return c <= 32 || c == 0xCA; }

}  // namespace

int UrlSchemeOf(const uint8_t *text, int32_t length) {
  for (const SchemePrefix &s : kSchemes) {
    int32_t n = static_cast<int32_t>(std::strlen(s.prefix));
    if (length < n) continue;
    bool same = true;
    for (int32_t i = 0; i < n && same; ++i) same = std::tolower(text[i]) == s.prefix[i];
    if (same) return s.scheme;
  }
  return 0;
}

std::optional<UrlSpan> FindUrl(const uint8_t *text, int32_t length, int32_t selStart, int32_t selEnd) {
  if (!text || length <= 0) return std::nullopt;
  int32_t s = std::clamp(std::min(selStart, selEnd), 0, length);
  int32_t e = std::clamp(std::max(selStart, selEnd), 0, length);
  if (s == e) {
    // Tabs and returns are below 33, so the blank test covers them.
    while (s > 0 && !Delimits(text[s - 1], '<')) --s;
    while (e < length && !Delimits(text[e], '>')) ++e;
  }
  while (s < e && Trimmed(text[s])) ++s;
  while (e > s && Trimmed(text[e - 1])) --e;
  if (e <= s) return std::nullopt;
  int scheme = UrlSchemeOf(text + s, e - s);
  if (!scheme) return std::nullopt;
  UrlSpan url;
  url.start = s, url.end = e, url.scheme = scheme;
  std::string body(reinterpret_cast<const char *>(text + s), static_cast<size_t>(e - s));
  size_t prefix = 0;
  for (const SchemePrefix &p : kSchemes)
    if (p.scheme == scheme) prefix = std::strlen(p.prefix);
  std::string rest = body.substr(prefix);
  if (scheme == kUrlFile) {
    url.path = rest;
    return url;
  }
  size_t slash = rest.find('/');
  url.host = rest.substr(0, slash);
  url.path = slash == std::string::npos ? std::string() : rest.substr(slash);
  size_t colon = url.host.find(':');
  if (colon != std::string::npos) {
    long port = 0;
    for (size_t i = colon + 1; i < url.host.size() && std::isdigit(static_cast<uint8_t>(url.host[i])) && port < 65536;
         ++i)
      port = port * 10 + (url.host[i] - '0');
    url.port = static_cast<int>(port);
    url.host.resize(colon);
  }
  return url;
}

std::optional<int32_t> DropOffset(int32_t drop, int32_t selStart, int32_t selEnd, bool move, int32_t length) {
  drop = std::clamp(drop, 0, length);
  int32_t s = std::clamp(std::min(selStart, selEnd), 0, length);
  int32_t e = std::clamp(std::max(selStart, selEnd), 0, length);
  if (!move || s == e) return drop;
  if (drop >= s && drop <= e) return std::nullopt;
  return drop > e ? drop - (e - s) : drop;
}

}  // namespace tstools::text
