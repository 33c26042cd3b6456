#pragma once

namespace quorel::platform
{
class UrlFetcher;
}

// The module that holds the fetcher and libcurl, loaded at the first download (see
// QtDesktop::createFetcher): libcurl brings the TLS, Kerberos, LDAP and SSH libraries, which a
// start that never downloads would load for nothing.
namespace quorel::platform::FetcherModule
{
// Makes a fetcher; its caller owns it. The module is never unloaded while the program runs.
using Create = UrlFetcher *();
inline constexpr char createSymbol[] = "quorel_create_fetcher";
}
