#pragma once
// Page texts (title, author, notes, dot texts, link targets) come from
// documents other people made. These functions make them safe for the place
// they land in the page, without losing any of them.
#include <string>
#include <string_view>

namespace zem {

// Text for element content, attribute values and the header comment:
// line ends become a plain line feed (the page writer turns every line feed
// into CR LF); & < > " ' become character references, so the text can
// neither open markup nor end a comment or an attribute; characters beyond
// ISO-8859-1 (the page's encoding) become numeric character references.
std::wstring EscapeHtml(std::wstring_view text);

// Line ends of any kind (CR LF, lone CR) become a plain line feed.
std::wstring NormaliseLineEnds(std::wstring_view text);

// The link target if it may stand in an href: a target with a scheme other
// than http, https, ftp or mailto (in any letter case, however padded or
// split by tabs and line feeds) yields an empty text, meaning "no link".
// Targets without a scheme are kept.
std::wstring SafeLinkTarget(std::wstring_view target);

}  // namespace zem
