#pragma once

#include "SimHttpRequest.h"
#include "SimHttpResponse.h"

#include <QList>
#include <functional>

// Maps method and path (without the query) to a handler. Later routes for the
// same method and path replace earlier ones; a method of "*" matches any.
class SimHttpRouter
{
public:
    using Handler = std::function<SimHttpResponse(const SimHttpRequest &)>;

    void addRoute(const QByteArray &method, const QByteArray &path, Handler handler);
    void removeRoute(const QByteArray &method, const QByteArray &path);
    bool hasRoute(const QByteArray &method, const QByteArray &path) const;
    SimHttpResponse handle(const SimHttpRequest &request) const; // 404 when nothing matches

private:
    struct Route {
        QByteArray method;
        QByteArray path;
        Handler handler;
    };
    QList<Route> m_routes;
};
