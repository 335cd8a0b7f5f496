#include "SimHttpRouter.h"

void SimHttpRouter::addRoute(const QByteArray &method, const QByteArray &path, Handler handler)
{
    removeRoute(method, path);
    m_routes.append({ method, path, std::move(handler) });
}

void SimHttpRouter::removeRoute(const QByteArray &method, const QByteArray &path)
{
    m_routes.removeIf([&](const Route &r) { return r.method == method && r.path == path; });
}

bool SimHttpRouter::hasRoute(const QByteArray &method, const QByteArray &path) const
{
    for (const Route &r : m_routes)
        if (r.method == method && r.path == path)
            return true;
    return false;
}

SimHttpResponse SimHttpRouter::handle(const SimHttpRequest &request) const
{
    // An exact method wins over "*" registered for the same path.
    const Route *any = nullptr;
    for (const Route &r : m_routes) {
        if (r.path != request.path)
            continue;
        if (r.method == request.method)
            return r.handler(request);
        if (r.method == "*" && !any)
            any = &r;
    }
    if (any)
        return any->handler(request);
    return SimHttpResponse::text(404, "Not Found\n");
}
