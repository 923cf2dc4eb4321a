#include "web/PageServer.h"

#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <random>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "web/GatedServer.h"
#include "web/LivePage.h"
#include "web/Wire.h"

namespace Web {
namespace {

PageServer*& Instance()
{
    static PageServer* server = nullptr;
    return server;
}

std::string RandomHex(int bytes)
{
    std::random_device device;  // /dev/urandom
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (int i = 0; i < bytes; ++i) {
        const unsigned byte = device() & 0xFF;
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

// The server compresses text/... and a few exact types for a client that accepts it, which on
// the loopback only costs time (seconds for a megabyte with brotli): scripts and data go as
// types it leaves alone.
constexpr const char* kCallType = "application/json; charset=utf-8";
constexpr const char* kSamplesType = "application/base64";

// A page keeps its connection for this many requests: a new one costs a call much of its time.
constexpr size_t kKeepAliveRequests = 1 << 20;

std::string ContentType(const std::string& name)
{
    static const std::map<std::string, std::string> types = {
        {"html", "text/html; charset=utf-8"}, {"htm", "text/html; charset=utf-8"},
        {"js", "application/javascript; charset=utf-8"}, {"css", "text/css; charset=utf-8"},
        {"json", kCallType}, {"svg", "image/svg+xml; charset=utf-8"}, {"png", "image/png"},
        {"gif", "image/gif"}, {"jpg", "image/jpeg"}, {"jpeg", "image/jpeg"},
        {"cur", "image/x-icon"}, {"ico", "image/x-icon"}, {"woff", "font/woff"}, {"woff2", "font/woff2"}};
    const size_t dot = name.rfind('.');
    const auto found = dot == std::string::npos ? types.end() : types.find(name.substr(dot + 1));
    return found != types.end() ? found->second : "application/octet-stream";
}

// A relative name that stays inside its folder: no "..", no absolute path.
bool IsInsideFolder(const std::string& name)
{
    if (name.empty() || name.front() == '/')
        return false;
    size_t start = 0;
    for (;;) {
        const size_t end = name.find('/', start);
        if (name.compare(start, end == std::string::npos ? std::string::npos : end - start, "..") == 0)
            return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

// The bytes of a regular file inside the folder. The name is checked before anything is
// opened, and the file opened without waiting: a FIFO there must not hold a server thread.
bool ReadFolderFile(const std::string& folder, const std::string& name, std::string& bytes)
{
    if (folder.empty() || !IsInsideFolder(name))
        return false;
    const int file = ::open((folder + "/" + name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return false;
    struct stat info;
    bool read = ::fstat(file, &info) == 0 && S_ISREG(info.st_mode);
    bytes.clear();
    char buffer[1 << 16];
    for (ssize_t n; read && (n = ::read(file, buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            bytes.append(buffer, size_t(n));
        else
            read = errno == EINTR;
    }
    ::close(file);
    return read;
}

// Compares in a time that tells nothing of where the texts differ.
bool SameSecret(const std::string& given, const std::string& secret)
{
    unsigned char differ = given.size() == secret.size() ? 0 : 1;
    for (size_t i = 0; i < given.size() && i < secret.size(); ++i)
        differ |= static_cast<unsigned char>(given[i] ^ secret[i]);
    return differ == 0;
}

// A URL path of ours: "/<secret>/<route>/<page>/<rest>".
struct Target {
    std::string route;
    int page = 0;
    std::string rest;
};

bool SplitTarget(const std::string& path, const std::string& secret, Target& target)
{
    const size_t routeStart = secret.size() + 2;
    if (path.size() < routeStart || path[0] != '/' || path[routeStart - 1] != '/' ||
        !SameSecret(path.substr(1, secret.size()), secret))
        return false;
    const size_t routeEnd = path.find('/', routeStart);
    const size_t pageEnd = routeEnd == std::string::npos ? routeEnd : path.find('/', routeEnd + 1);
    if (pageEnd == std::string::npos)
        return false;
    const std::string digits = path.substr(routeEnd + 1, pageEnd - routeEnd - 1);
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    target.route = path.substr(routeStart, routeEnd - routeStart);
    target.page = std::stoi(digits);
    target.rest = path.substr(pageEnd + 1);
    return true;
}

// A request's body into body, within kMaxRequestBytes as decoded: chunked and compressed
// bodies have no length to check beforehand, so the bytes are counted as they come. 0 when it
// came whole, else the status that refuses it.
int ReadBody(const httplib::ContentReader& read, const httplib::Response& response, std::string& body)
{
    bool tooLarge = false;
    const bool whole = read([&](const char* data, size_t size) {
        tooLarge = size > PageServer::kMaxRequestBytes - body.size();
        if (!tooLarge)
            body.append(data, size);
        return !tooLarge;
    });
    if (whole)
        return 0;
    // The library sets 413 itself for a declared length past its own limit.
    return tooLarge || response.status == 413 ? 413 : 400;
}

// Whether the request's declared body lengths are plain decimal counts, as HTTP has them. The
// library would read "-5" as a length past any limit and wait for that body before refusing it.
bool HasReadableLength(const httplib::Request& request)
{
    const auto lengths = request.headers.equal_range("Content-Length");
    for (auto it = lengths.first; it != lengths.second; ++it)
        if (it->second.empty() || it->second.find_first_not_of("0123456789") != std::string::npos ||
            it->second != lengths.first->second)
            return false;
    return true;
}

// What the user reads of a call that ReadBody refused with that status.
std::string RefusalText(int status)
{
    return status == 413 ? "the host refused a call from the page: it carried more than " +
                               std::to_string(PageServer::kMaxRequestBytes >> 20) + " MB"
                         : "the host refused a call from the page: it did not arrive whole";
}

// The routes whose last part is the page's key: every route that reaches the host or its data.
bool TakesKey(const std::string& route) { return route == "call" || route == "data"; }

std::string TooDeepReply()
{
    return "a call whose arguments nest deeper than " + std::to_string(kMaxWireDepth) + " arrays";
}

std::string CallReply(const nlohmann::json& value)
{
    return nlohmann::json{{"v", value}}.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

PageServer* PageServer::Shared(std::string& error)
{
    PageServer*& server = Instance();
    if (server != nullptr)
        return server;
    std::unique_ptr<PageServer> started(new PageServer);
    if (!started->Listen(error))
        return nullptr;
    server = started.release();
    std::atexit(Stop);
    return server;
}

PageServer* PageServer::Current() { return Instance(); }

void PageServer::Stop()
{
    delete Instance();
    Instance() = nullptr;
}

PageServer::~PageServer()
{
    if (mServer != nullptr)
        mServer->stop();
    if (mThread.joinable())
        mThread.join();
    {
        std::lock_guard<std::mutex> lock(mLock);
        mStopping = true;
        for (const auto& call : mWaiting)
            call->reply.set_value(std::string());
        mWaiting.clear();
    }
    if (mServer != nullptr)
        mServer->CloseConnections();
    if (mNotify >= 0)
        ::close(mNotify);
}

bool PageServer::Listen(std::string& error)
{
    mSecret = RandomHex(16);
    mNotify = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    mServer = std::make_unique<GatedServer>(
        ConnectionGate::Limits{kMaxHeadBytes, kHeadTimeout, kMaxWaitingConnections, kWorkers});
    mServer->set_payload_max_length(kMaxRequestBytes);
    mServer->set_tcp_nodelay(true);  // small replies go at once, not after the peer's delayed ack
    mServer->set_keep_alive_max_count(kKeepAliveRequests);
    mServer->set_keep_alive_timeout(time_t(kHeadTimeout));  // as the browser is told
    mPort = mServer->Bind("127.0.0.1", kBacklog);
    if (mPort <= 0 || mNotify < 0) {
        error = "cannot listen on 127.0.0.1";
        return false;
    }
    Route();
    mThread = std::thread([this] { mServer->listen_after_bind(); });
    return true;
}

int PageServer::Admit(const httplib::Request& request) const
{
    const std::string origin = Origin();
    Target target;
    if (request.get_header_value("Host") != origin.substr(origin.find("//") + 2) ||
        (request.has_header("Origin") && request.get_header_value("Origin") != origin) ||
        !SplitTarget(request.path, mSecret, target))
        return 403;
    std::lock_guard<std::mutex> lock(mLock);
    const auto found = mPages.find(target.page);
    if (found == mPages.end() || (TakesKey(target.route) && !SameSecret(target.rest, found->second.key)))
        return 403;
    return HasReadableLength(request) ? 0 : 400;
}

void PageServer::Route()
{
    const std::string prefix = "/" + mSecret + "/";
    mServer->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        if (const int refused = Admit(request)) {
            response.status = refused;
            return httplib::Server::HandlerResponse::Handled;
        }
        // Over the loopback, compressing costs far more than it saves (brotli takes a second
        // over the plot page): every answer goes as it is.
        const_cast<httplib::Request&>(request).headers.erase("Accept-Encoding");
        return httplib::Server::HandlerResponse::Unhandled;
    });
    mServer->Get(prefix + R"(page/(\d+)/(.*))", [this](const httplib::Request& request, httplib::Response& response) {
        const int id = std::atoi(request.matches[1].str().c_str());
        const std::string name = request.matches[2].str();
        std::string html;
        std::string folder;
        {
            std::lock_guard<std::mutex> lock(mLock);
            const auto found = mPages.find(id);
            if (found == mPages.end()) {
                response.status = 403;
                return;
            }
            html = found->second.html;
            folder = found->second.folder;
        }
        response.set_header("Cache-Control", "no-store");
        if (name.empty()) {
            response.set_content(html, "text/html; charset=utf-8");
            return;
        }
        std::string bytes;
        if (!ReadFolderFile(folder, name, bytes)) {
            response.status = 404;
            return;
        }
        response.set_content(bytes, ContentType(name).c_str());
    });
    mServer->Post(prefix + R"(call/(\d+)/([0-9a-f]+))", [this](const httplib::Request& request,
                                                               httplib::Response& response,
                                                               const httplib::ContentReader& read) {
        std::string body;
        std::string reply;
        const int id = std::atoi(request.matches[1].str().c_str());
        const int refused = ReadBody(read, response, body);
        if (refused != 0)
            reply = Refuse(id, refused);
        response.status = refused != 0 ? refused : Call(id, body, false, reply);
        response.set_content(reply, response.status == 200 ? kCallType : "text/plain; charset=utf-8");
    });
    mServer->Post(prefix + R"(data/(\d+)/([0-9a-f]+))", [this](const httplib::Request& request,
                                                               httplib::Response& response,
                                                               const httplib::ContentReader& read) {
        std::string body;
        std::string reply;
        const int id = std::atoi(request.matches[1].str().c_str());
        const int refused = ReadBody(read, response, body);
        if (refused != 0)
            reply = Refuse(id, refused);
        response.status = refused != 0 ? refused : Call(id, body, true, reply);
        if (response.status != 200) {
            response.set_content(reply, "text/plain; charset=utf-8");
            return;
        }
        // The sample size leads the reply; the base64 after it is the body.
        response.set_header("X-Sample-Bytes", reply.substr(0, 1));
        response.set_content(reply.data() + 1, reply.size() - 1, kSamplesType);
    });
}

int PageServer::Call(int id, const std::string& body, bool samples, std::string& reply)
{
    // The call's own object and its argument list hold the arguments; a tagged object ends an
    // argument's arrays.
    nlohmann::json call;
    if (ReadWireJson(body, WireNesting{kMaxWireDepth + 1, 2}, call) == WireRead::TooDeep) {
        reply = TooDeepReply();
        return 400;
    }
    if (!call.is_object() || !call.contains("o") || !call["o"].is_string() || !call.contains("m") ||
        !call["m"].is_string() || !call.contains("a") || !call["a"].is_array()) {
        reply = "a malformed call";
        return 400;
    }
    auto waiting = std::make_shared<WaitingCall>();
    waiting->page = id;
    waiting->object = call["o"].get<std::string>();
    waiting->method = call["m"].get<std::string>();
    waiting->samples = samples;
    for (const nlohmann::json& argument : call["a"]) {
        std::optional<Value> value = FromWire(argument);
        if (!value) {
            reply = TooDeepReply();
            return 400;
        }
        waiting->arguments.push_back(std::move(*value));
    }
    std::future<std::string> answer = waiting->reply.get_future();
    {
        std::lock_guard<std::mutex> lock(mLock);
        const auto found = mPages.find(id);
        if (found == mPages.end() || found->second.page == nullptr || mStopping) {
            reply = "the host has closed the page";
            return 503;
        }
        if (samples && !found->second.page->HasSamplesMethod(waiting->object, waiting->method)) {
            reply = "no samples by that name";
            return 404;
        }
        BridgeObject::Call kind;
        if (!samples && !found->second.page->CallKindOf(waiting->object, waiting->method, kind)) {
            reply = CallReply("");  // an unknown name answers "" and runs nothing
            return 200;
        }
        if (!samples && kind == BridgeObject::Call::Queued) {
            found->second.page->EnqueueCall(waiting->object, waiting->method, std::move(waiting->arguments));
            reply = CallReply(ToWire(Value()));
            return 200;
        }
        mWaiting.push_back(waiting);
    }
    const uint64_t one = 1;
    if (::write(mNotify, &one, sizeof one) < 0) {
        // The counter is full of earlier notices: the main thread will look anyway.
    }
    if (answer.wait_for(std::chrono::duration<double>(kCallTimeout)) != std::future_status::ready) {
        reply = "the host did not answer within " + ScriptNumberText(kCallTimeout) + " s";
        return 503;
    }
    reply = answer.get();
    if (reply.empty()) {
        reply = "the host has closed the page";
        return 503;
    }
    return 200;
}

std::string PageServer::Refuse(int id, int status)
{
    std::string why = RefusalText(status);
    std::lock_guard<std::mutex> lock(mLock);
    const auto found = mPages.find(id);
    if (found != mPages.end() && found->second.page != nullptr)
        found->second.page->NoteRefusedCall(why);
    return why;
}

int PageServer::AddPage(LivePage* page)
{
    std::lock_guard<std::mutex> lock(mLock);
    const int id = mNextPage++;
    mPages[id] = Entry{page, RandomHex(16), "", ""};
    return id;
}

void PageServer::AdoptPage(int id, LivePage* page)
{
    std::lock_guard<std::mutex> lock(mLock);
    const auto found = mPages.find(id);
    if (found != mPages.end())
        found->second.page = page;
}

std::string PageServer::FolderOf(const std::string& baseURL)
{
    static const std::string scheme = "file://";
    if (baseURL.compare(0, scheme.size(), scheme) != 0)
        return std::string();
    std::string folder = baseURL.substr(scheme.size());
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

void PageServer::RemovePage(int id)
{
    std::lock_guard<std::mutex> lock(mLock);
    mPages.erase(id);
}

void PageServer::SetDocument(int id, std::string html, std::string folder)
{
    std::lock_guard<std::mutex> lock(mLock);
    const auto found = mPages.find(id);
    if (found != mPages.end()) {
        found->second.html = std::move(html);
        found->second.folder = std::move(folder);
    }
}

std::string PageServer::PageURL(int id, int load) const
{
    return Origin() + "/" + mSecret + "/page/" + std::to_string(id) + "/?load=" + std::to_string(load);
}

std::string PageServer::CallURL(int id) const { return RouteURL("call", id); }

std::string PageServer::DataURL(int id) const { return RouteURL("data", id); }

std::string PageServer::RouteURL(const char* route, int id) const
{
    std::lock_guard<std::mutex> lock(mLock);
    const auto found = mPages.find(id);
    return Origin() + "/" + mSecret + "/" + route + "/" + std::to_string(id) + "/" +
           (found != mPages.end() ? found->second.key : std::string());
}

void PageServer::ServeCalls()
{
    uint64_t count = 0;
    if (::read(mNotify, &count, sizeof count) < 0) {
        // Nothing was signalled; the queue may still hold calls from before.
    }
    for (;;) {
        std::shared_ptr<WaitingCall> call;
        LivePage* page = nullptr;
        {
            std::lock_guard<std::mutex> lock(mLock);
            if (mWaiting.empty())
                return;
            call = mWaiting.front();
            mWaiting.pop_front();
            const auto found = mPages.find(call->page);
            if (found != mPages.end())
                page = found->second.page;
        }
        if (page == nullptr)
            call->reply.set_value(std::string());
        else if (call->samples)
            call->reply.set_value(SamplesWire(page->DispatchSamples(call->object, call->method, call->arguments)));
        else
            call->reply.set_value(page->AnswerCall(call->object, call->method, std::move(call->arguments)));
    }
}

}  // namespace Web
