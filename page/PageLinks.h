#pragma once
// Addresses the page links to.

namespace zem {

// The maker's web address (header comment and logo).
inline constexpr const wchar_t* kMakerAddress = L"https://zem-webgl.example.com/";
// The product page of this exporter (credit line).
inline constexpr const wchar_t* kProductPage = L"https://zem-webgl.example.com/webgl-export/";

}  // namespace zem
