#include "tests/support/MailTestSupport.h"

#include <gmime/gmime.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace zem::testing {

namespace {

void StartGMime() {
  static const bool started = [] {
    g_mime_init();
    return true;
  }();
  (void)started;
}

std::string Lower(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

MimePart ReadPart(GMimeObject* object, bool rawHeaders = false) {
  MimePart part;
  GMimeHeaderList* headers = g_mime_object_get_header_list(object);
  for (int i = 0; i < g_mime_header_list_get_count(headers); ++i) {
    GMimeHeader* header = g_mime_header_list_get_header_at(headers, i);
    // Raw values are unfolded here; decoded ones suffer from the quirk above.
    std::string value = rawHeaders ? g_mime_header_get_raw_value(header) : g_mime_header_get_value(header);
    if (rawHeaders) {
      std::string unfolded;
      for (const char c : value)
        if (c != '\r' && c != '\n') unfolded += c;
      value = unfolded.substr(std::min(unfolded.find_first_not_of(" \t"), unfolded.size()));
    }
    part.headers.emplace(Lower(g_mime_header_get_name(header)), value);
  }
  if (GMimeContentDisposition* disposition = g_mime_object_get_content_disposition(object)) {
    GMimeParamList* params = g_mime_content_disposition_get_parameters(disposition);
    for (int i = 0; i < g_mime_param_list_length(params); ++i) {
      GMimeParam* param = g_mime_param_list_get_parameter_at(params, i);
      part.dispositionParameters[Lower(g_mime_param_get_name(param))] = g_mime_param_get_value(param);
    }
  }
  if (GMIME_IS_PART(object)) {
    if (GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(object))) {
      GMimeStream* out = g_mime_stream_mem_new();
      g_mime_data_wrapper_write_to_stream(content, out);
      GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out));
      part.decoded.assign(reinterpret_cast<const char*>(bytes->data), bytes->len);
      g_object_unref(out);
    }
  }
  return part;
}

}  // namespace

StandInMailClient::StandInMailClient(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder / "bin");
  const std::filesystem::path script = folder / "bin/xdg-email";
  WriteBytes(script,
             "#!/bin/sh\n"
             "printf '%s\\n' \"$@\" > \"$ZEM_TEST_RECORD/args\"\n"
             "while [ $# -gt 0 ]; do\n"
             "  if [ \"$1\" = --attach ]; then cp \"$2\" \"$ZEM_TEST_RECORD/attached\"; fi\n"
             "  shift\n"
             "done\n"
             "exit ${ZEM_TEST_EXIT:-0}\n");
  ::chmod(script.c_str(), 0755);
  m_path.emplace("PATH", ((folder / "bin").string() + ":" + std::getenv("PATH")).c_str());
  m_record.emplace("ZEM_TEST_RECORD", folder.c_str());
  m_cache.emplace("XDG_CACHE_HOME", (folder / "cache").c_str());
  m_display.emplace("DISPLAY", ":77");
}

std::string DecodeBase64(const std::string& text) {
  gsize size = 0;
  guchar* bytes = g_base64_decode(text.c_str(), &size);
  std::string result(reinterpret_cast<const char*>(bytes), size);
  g_free(bytes);
  return result;
}

// Word by word: GMime 3.2 carries its base64 state from one encoded word to
// the next, so a padded word ("...==?=") spoils the words after it.
std::string DecodeHeaderWords(const std::string& text) {
  StartGMime();
  std::string result;
  bool lastWasWord = false;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t blanks = text.find_first_not_of(" \t\r\n", at);
    if (blanks == std::string::npos) break;
    const std::size_t end = std::min(text.find_first_of(" \t\r\n", blanks), text.size());
    const std::string token = text.substr(blanks, end - blanks);
    const bool isWord = token.rfind("=?", 0) == 0 && token.size() > 4 && token.compare(token.size() - 2, 2, "?=") == 0;
    // Blanks between two encoded words are dropped; others are kept.
    if (!(isWord && lastWasWord)) result += text.substr(at, blanks - at);
    char* decoded = g_mime_utils_header_decode_text(nullptr, token.c_str());
    result += decoded ? decoded : "";
    g_free(decoded);
    lastWasWord = isWord;
    at = end;
  }
  return result;
}

MailDraft ReadDraft(const std::filesystem::path& path) {
  StartGMime();
  MailDraft draft;
  draft.raw = ReadFileBytes(path);
  GMimeStream* stream = g_mime_stream_mem_new_with_buffer(draft.raw.data(), draft.raw.size());
  GMimeParser* parser = g_mime_parser_new_with_stream(stream);
  GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
  if (message) {
    draft.top = ReadPart(GMIME_OBJECT(message), true);
    draft.subject = DecodeHeaderWords(draft.top.Header("subject"));
    GMimeObject* body = g_mime_message_get_mime_part(message);
    if (body && GMIME_IS_MULTIPART(body)) {
      for (int i = 0; i < g_mime_multipart_get_count(GMIME_MULTIPART(body)); ++i)
        draft.parts.push_back(ReadPart(g_mime_multipart_get_part(GMIME_MULTIPART(body), i)));
    } else if (body) {
      draft.parts.push_back(ReadPart(body));
    }
    g_object_unref(message);
  }
  g_object_unref(parser);
  g_object_unref(stream);
  return draft;
}

}  // namespace zem::testing
