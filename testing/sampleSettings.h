// A settings file of two groups with mixed types, exactly as the settings
// store writes it: the parser's and the file target's tests read the same
// bytes.
#pragma once

#include <string>

namespace vesk::testing {

inline const std::string sampleSettingsText =
    "<vesk_settings>\r\n"
    "\t<UI>\r\n"
    "\t\t<SaveOnExit>(long)1</SaveOnExit>\r\n"
    "\t</UI>\r\n"
    "\t<zUdoradur>\r\n"
    "\t\t<Gnutella_ConnectString>(string)GNUTELLA%20CONNECT/0.4%0a%0a</Gnutella_ConnectString>\r\n"
    "\t\t<Gnutella_ReportedPort>(ushort)6346</Gnutella_ReportedPort>\r\n"
    "\t</zUdoradur>\r\n"
    "</vesk_settings>\r\n";

}  // namespace vesk::testing
