#pragma once
// Tessivo's maker as both deliverables name it: the configuration record's
// maker name (which both bindings hand to their hosts), the VST 3 factory's
// web and contact addresses, and the about box's link. Compile-time
// constants; any thread.

namespace tessivo_maker {

inline constexpr char kName[] = "Corvath";
// The maker's web site.
inline constexpr char kSiteAddress[] = "https://www.corvath.com";
// The site as a link shows it: the address without its "https://".
inline constexpr const char* kSiteText = kSiteAddress + sizeof "https://" - 1;
inline constexpr char kContactAddress[] = "mailto:support@corvath.com";

} // namespace tessivo_maker
