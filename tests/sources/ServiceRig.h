#pragma once
// The fake web with its service replicas as proxy, and a download control that sends one service
// request at a time and hands back the reply.

#include "model/AppState.h"
#include "session/DownloadParts.h"
#include "support/ProxyWeb.h"
#include "support/ScriptedPrompter.h"
#include "web/ocxParseWeb.h"

#include <QtTest>

#include <optional>

struct ServiceRig {
    ProxyWeb web;
    AppState state{qEnvironmentVariable("QUORVEX_HOME")};
    ScriptedPrompter prompter;
    ocxParseWeb control{TablesOf(state), CountersOf(state), prompter};
    QStringList texts; // every status text of the control

    ServiceRig()
    {
        QObject::connect(&control, &ocxParseWeb::StatusText, [this](const QString& text) { texts.append(text); });
    }

    // Sends the request and waits for its reply; an empty reply when none came in time.
    ServiceReply Exchange(const ServiceRequest& request)
    {
        std::optional<ServiceReply> answer;
        control.BeginServiceRequest(request, QStringLiteral("T0$0"),
                                    [&](const ServiceReply& reply) { answer = reply; });
        if (!QTest::qWaitFor([&] { return answer.has_value(); }, 10000))
            return {};
        return *answer;
    }
};
