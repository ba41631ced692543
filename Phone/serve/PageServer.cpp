#include "PageServer.h"

#include "../Command.h"
#include "PageFiles.h"
#include "ToolRun.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <set>
#include <sys/random.h>

namespace phone {

namespace {

using json = nlohmann::json;

constexpr auto kLongestWait = std::chrono::seconds(20); // a state request waits this long for a change
constexpr auto kLongestCommand = std::chrono::seconds(120);
constexpr size_t kLargestRequest = 64 * 1024;

std::string NewToken()
{
    unsigned char bytes[16];
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes))
        throw Failure("no random bytes for the page's token");
    static const char kDigits[] = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes)
        token += kDigits[b >> 4], token += kDigits[b & 15];
    return token;
}

// Whether the path starts with /TOKEN/, compared in a time that does not tell how much of it was right.
bool CarriesToken(const std::string& path, const std::string& token)
{
    if (path.size() < token.size() + 2 || path[0] != '/' || path[token.size() + 1] != '/')
        return false;
    unsigned char difference = 0;
    for (size_t i = 0; i < token.size(); ++i)
        difference |= static_cast<unsigned char>(path[i + 1] ^ token[i]);
    return difference == 0;
}

std::string ContentType(std::string_view name)
{
    if (name.ends_with(".html"))
        return "text/html; charset=utf-8";
    if (name.ends_with(".css"))
        return "text/css; charset=utf-8";
    if (name.ends_with(".js"))
        return "text/javascript; charset=utf-8";
    return "application/octet-stream";
}

enum class Use { Refused, Reads, Drives };

// The commands the page plays the phone with (nothing that makes, deletes or reads files, nor starts any
// other program than Zelkova), and whether they only read the device.
Use UseOf(const std::vector<std::string>& args)
{
    if (args.empty())
        return Use::Refused;
    for (const std::string& arg : args)
        if (arg == "--device" || arg == "--program" || arg == "--help")
            return Use::Refused;
    static const std::set<std::string> kDriving = {"press", "type", "menu", "row", "answer", "wait"};
    const std::string& name = args[0];
    size_t count = args.size();
    if (kDriving.contains(name) || (name == "launch" && count == 1) || (name == "clock" && count > 1) ||
        (name == "sms" && count > 1 && args[1] == "receive") || (name == "call" && count > 1 && args[1] == "missed"))
        return Use::Drives;
    if (name == "screen" || name == "composed" || name == "clock" ||
        (name == "sms" && count > 1 && args[1] == "list") || (name == "contacts" && count == 2 && args[1] == "list"))
        return Use::Reads;
    return Use::Refused;
}

json StateJson(const ShownScreen& shown)
{
    json keys = json::array();
    for (const auto& key : shown.softKeys)
        keys.push_back({{"label", key.label}, {"enabled", key.enabled}});
    return {{"version", shown.version}, {"width", shown.width}, {"height", shown.height},
            {"title", shown.title},     {"softkeys", keys},     {"menu", shown.menuOpen},
            {"busy", shown.busy},       {"text", shown.text},   {"problem", shown.problem}};
}

void Reply(httplib::Response& response, int status, const json& body)
{
    response.status = status;
    response.set_content(body.dump(-1, ' ', false, json::error_handler_t::replace), "application/json");
}

} // namespace

PageServer::PageServer(const std::string& deviceDir, int port)
    : m_deviceDir(deviceDir), m_token(NewToken()), m_server(std::make_unique<httplib::Server>())
{
    // Not the library's SO_REUSEPORT, which would let another process listen on the same port and take the
    // browser's requests, token and all.
    m_server->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    if (port == 0)
        m_port = m_server->bind_to_any_port("127.0.0.1");
    else
        m_port = m_server->bind_to_port("127.0.0.1", port) ? port : -1;
    if (m_port <= 0)
        throw Failure("cannot serve on 127.0.0.1" + (port ? ":" + std::to_string(port) : std::string()) +
                      " (is the port taken?)");
    m_server->set_payload_max_length(kLargestRequest);
    m_server->set_default_headers({{"Cache-Control", "no-store"},
                                   {"Referrer-Policy", "no-referrer"},
                                   {"X-Content-Type-Options", "nosniff"},
                                   {"Content-Security-Policy", "default-src 'self'; img-src 'self'"}});
    Route();
}

PageServer::~PageServer() = default;

std::string PageServer::Url() const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + "/" + m_token + "/";
}

void PageServer::Serve()
{
    m_server->listen_after_bind();
}

void PageServer::Stop()
{
    m_screen.Stop(); // a reader waiting for the next screen would hold the server up
    m_server->stop();
}

void PageServer::Route()
{
    using httplib::Request;
    using httplib::Response;
    using Handled = httplib::Server::HandlerResponse;

    m_server->set_pre_routing_handler([this](const Request& request, Response& response) {
        if (CarriesToken(request.path, m_token))
            return Handled::Unhandled;
        response.status = 403;
        response.set_content("This address needs the token that 'phone serve' printed.\n", "text/plain");
        return Handled::Handled;
    });
    m_server->set_exception_handler([](const Request&, Response& response, std::exception_ptr error) {
        std::string why = "failed";
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            why = e.what();
        }
        Reply(response, 500, {{"error", why}});
    });

    std::string root = "/" + m_token + "/";
    for (const PageFile& file : PageFiles()) {
        std::string path = root + (file.name == "index.html" ? "" : std::string(file.name));
        m_server->Get(path, [file](const Request&, Response& response) {
            response.set_content(std::string(file.bytes), ContentType(file.name));
        });
    }
    m_server->Get(root + "screen.png", [this](const Request&, Response& response) {
        ShownScreen shown = m_screen.After(0, kLongestWait);
        response.set_content(shown.png, "image/png");
    });
    m_server->Get(root + "state", [this](const Request& request, Response& response) {
        uint64_t seen = 0;
        if (request.has_param("after"))
            seen = std::stoull(request.get_param_value("after"));
        Reply(response, 200, StateJson(m_screen.After(seen, kLongestWait)));
    });
    m_server->Post(root + "run", [this](const Request& request, Response& response) {
        json body = json::parse(request.body, nullptr, false);
        std::vector<std::string> args;
        if (body.is_object() && body.contains("args") && body["args"].is_array())
            for (const json& arg : body["args"])
                if (arg.is_string())
                    args.push_back(arg.get<std::string>());
        Use use = UseOf(args);
        if (use == Use::Refused) {
            Reply(response, 403, {{"error", "the page does not run that command"}});
            return;
        }
        ToolOutcome outcome;
        if (use == Use::Reads) {
            outcome = RunTool(m_deviceDir, args, kLongestCommand);
        } else {
            std::lock_guard lock(m_commands);
            outcome = RunTool(m_deviceDir, args, kLongestCommand);
            m_screen.Refresh();
        }
        Reply(response, 200, {{"code", outcome.exitCode}, {"out", outcome.out}, {"err", outcome.err}});
    });
}

} // namespace phone
