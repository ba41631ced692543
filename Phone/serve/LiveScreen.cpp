#include "LiveScreen.h"

#include "../Command.h"
#include "../Foreground.h"
#include "../PrintedText.h"

#include "Render.h"
#include "SceneJson.h"

namespace phone {

namespace {

using device::automation::Request;

constexpr auto kRefresh = std::chrono::milliseconds(500); // as `phone attach` looks
constexpr auto kSettle = std::chrono::seconds(2);

// Twice the size of a 96 dpi screen, so the page shows it at a readable size with crisp text.
int PictureScale(const device::automation::Scene& scene)
{
    return scene.dpi < 192 ? 2 : 1;
}

// The screen of a scene as the device process answered it; without one, the bare screen and why.
ShownScreen Drawn(const std::string& json, std::string problem)
{
    device::automation::Scene scene = device::automation::BareScene();
    if (!json.empty()) {
        try {
            scene = pixels::SceneFromJson(json);
        } catch (const std::runtime_error& e) {
            problem = e.what();
        }
    }
    ShownScreen shown;
    pixels::Picture picture = pixels::Render(scene, PictureScale(scene));
    shown.png = picture.Png();
    shown.width = picture.Width();
    shown.height = picture.Height();
    shown.title = Utf8(scene.title);
    for (const auto& key : scene.softKeys)
        shown.softKeys.push_back(ShownScreen::Key{Utf8(key.label), key.enabled});
    shown.menuOpen = scene.menu.has_value();
    shown.busy = scene.waitCursor;
    shown.problem = problem;
    try {
        if (problem.empty())
            shown.text = AskForeground(Request::ScreenText, 0, {}, kSettle);
    } catch (const Failure&) {
        // the screen went in between: the next look shows what came
    }
    return shown;
}

} // namespace

LiveScreen::LiveScreen() : m_thread([this] { Run(); }) {}

LiveScreen::~LiveScreen()
{
    Stop();
    m_thread.join();
}

void LiveScreen::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_changed.notify_all();
}

ShownScreen LiveScreen::After(uint64_t seen, std::chrono::milliseconds wait)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, wait, [&] { return m_stopping || m_shown.version > seen; });
    return m_shown;
}

void LiveScreen::Refresh()
{
    {
        std::lock_guard lock(m_mutex);
        m_poked = true;
    }
    m_wake.notify_all();
}

void LiveScreen::Run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        m_poked = false;
        lock.unlock();
        Look();
        lock.lock();
        m_wake.wait_for(lock, kRefresh, [&] { return m_stopping || m_poked; });
    }
}

void LiveScreen::Look()
{
    std::string json, problem;
    try {
        json = AskForeground(Request::ScreenScene, 0, {}, kSettle);
    } catch (const Failure& e) {
        problem = e.what();
    }
    if (json + problem == m_scene)
        return;
    m_scene = json + problem;
    ShownScreen shown = Drawn(json, problem);
    {
        std::lock_guard lock(m_mutex);
        shown.version = m_shown.version + 1;
        m_shown = std::move(shown);
    }
    m_changed.notify_all();
}

} // namespace phone
