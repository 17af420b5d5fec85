#pragma once
// The tests' web: the fake web listening on 127.0.0.1 and set as the proxy of every request the test
// program makes. A web that found no port stops the test program at once, since a run that reached
// nothing would pass on its defaults.

#include "FakeWeb.h"

#include <QtGlobal>

class ProxyWeb : public FakeWeb {
public:
    ProxyWeb()
    {
        if (!Listen())
            qFatal("the fake web found no port on 127.0.0.1");
        qputenv("http_proxy", ProxyUrl().toUtf8());
    }
};
