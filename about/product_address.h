#pragma once
// Quillon's web address, as the About box shows it and as the link opens it. The display form is
// also the text of the link's static in the dialog template (resources/about.rc).
namespace quillon {

inline constexpr wchar_t kProductAddressDisplay[] = L"quillon.example";
inline constexpr wchar_t kProductAddressTarget[] = L"https://quillon.example/";

}  // namespace quillon
