#pragma once
// Identity constants of each deliverable. Every module of a deliverable uses
// its own set: the player `Contesto::Lorimel`, the ripper `Contesto::Solcaro`.
namespace Contesto {

inline constexpr const char* AppSeparator = " - ";

namespace Lorimel {
inline constexpr const char* AppSeparator = Contesto::AppSeparator;
inline constexpr const char* AppName = "Lorimel";
inline constexpr const char* AppVersion = "0.7.1";
} // namespace Lorimel

namespace Solcaro {
inline constexpr const char* AppSeparator = Contesto::AppSeparator;
inline constexpr const char* AppName = "Solcaro";
inline constexpr const char* AppVersion = "1.0.0";
inline constexpr const char* AppVersion2 = "1.0.0";
} // namespace Solcaro

} // namespace Contesto
