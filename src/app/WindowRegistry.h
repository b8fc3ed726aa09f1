#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

namespace hm52 {

struct Services;
struct BrowserTerms;
class frmInsertQSO;
class frmEditQSO;
class frmUtility;
class frmAward;
class frmBAR;
class frmAE;
class frmUserData;
class frmFindPlaces;
class frmAbout;

enum class Window { InsertQSO, EditQSO, Utility, Award, BAR, AE, UserData, FindPlaces, About };
constexpr int windowCount = 9;

// Keeps at most one instance of each window: creates and loads it on first use, forgets it
// when its close box unloads it. The refresh chain (showAny, conta) goes through here and
// loads its target hidden when it is not loaded.
class WindowRegistry : public QObject {
    Q_OBJECT
public:
    explicit WindowRegistry(Services& services);
    ~WindowRegistry() override;

    // The window, created and loaded (not shown) when it is not loaded.
    QWidget& load(Window w);
    // The window when it is loaded, else nullptr.
    QWidget* loaded(Window w) const;
    // Loads the window when needed and shows it modeless, in front.
    void show(Window w);

    frmInsertQSO& insertQSO();
    frmEditQSO& editQSO();
    frmUtility& utility();
    frmAward& award();
    frmBAR& bar();
    frmAE& ae();
    frmUserData& userData();
    frmFindPlaces& findPlaces();
    frmAbout& about();

    // The refresh chain: the browser rebuilds its list, the counter recounts.
    void showAny();
    void conta();
    // Further listeners of a change of the log (after showAny and conta).
    void onLogChanged(std::function<void()> listener);

    // Members that outlive their windows.
    BrowserTerms& browserTerms();
    int& editCount();

private:
    QWidget* create(Window w);

    Services& s_;
    std::array<QPointer<QWidget>, windowCount> windows_;
    struct Persistent;
    std::unique_ptr<Persistent> persistent_;
};

} // namespace hm52
