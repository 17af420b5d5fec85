#include "support/TestHome.h"

TestHome::TestHome()
{
    const QString path = dir.path();
    qputenv("QUORVEX_HOME", path.toUtf8());
    qputenv("HOME", path.toUtf8());
    qputenv("XDG_DATA_HOME", (path + QStringLiteral("/.local/share")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (path + QStringLiteral("/.config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (path + QStringLiteral("/.cache")).toUtf8());
    // No test may reach a real browser.
    qputenv("BROWSER", "/bin/false");
    // A service key of the user's never reaches a test.
    qunsetenv("QUORVEX_KEY");
    // No request of a test may leave the machine: unless a test points http_proxy at its fake
    // web, every request goes to a closed local port and fails at once.
    qputenv("http_proxy", "http://127.0.0.1:9");
    qputenv("https_proxy", "http://127.0.0.1:9");
    qunsetenv("HTTP_PROXY");
    qunsetenv("HTTPS_PROXY");
    qunsetenv("no_proxy");
    qunsetenv("NO_PROXY");
}

QString BinFolder()
{
    return qEnvironmentVariable("QUORVEX_BIN");
}
