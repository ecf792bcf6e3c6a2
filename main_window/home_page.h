#pragma once

namespace velmora {

// The maker's home page; Label1 shows its host name.
// FIXME: a placeholder until the home page is fixed at build time; keep every use of it behind this name.
inline constexpr char kHomePageHost[] = "velmora.example";

}  // namespace velmora
