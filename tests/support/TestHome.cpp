#include "support/TestHome.h"

TestHome::TestHome()
{
    const QString path = dir.path();
    qputenv("QUORVEX_HOME", path.toUtf8());
    qputenv("HOME", path.toUtf8());
    qputenv("XDG_DATA_HOME", (path + QStringLiteral("/.local/share")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (path + QStringLiteral("/.config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (path + QStringLiteral("/.cache")).toUtf8());
    // No test may reach a real browser or the network through a proxy of the machine.
    qputenv("BROWSER", "/bin/false");
    qunsetenv("http_proxy");
    qunsetenv("https_proxy");
    qunsetenv("HTTP_PROXY");
    qunsetenv("HTTPS_PROXY");
}

QString BinFolder()
{
    return qEnvironmentVariable("QUORVEX_BIN");
}
