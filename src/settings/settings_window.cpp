#include "settings/settings_window.h"

#include <glib/gi18n.h>

#include <chrono>
#include <memory>
#include <string>

#include "idle/gnome_delay.h"
#include "settings/gnome_delay.h"
#include "settings/idle_file.h"
#include "settings/preview_area.h"
#include "settings/programs.h"
#include "settings/runner_status.h"
#include "settings/runner_switch.h"

namespace settings {
namespace {

using std::chrono::duration_cast;
using std::chrono::minutes;

std::string Printf(const char* format, auto... args) {
  gchar* text = g_strdup_printf(format, args...);
  std::string out = text;
  g_free(text);
  return out;
}

void Name(GtkWidget* widget, const char* label) {
  gtk_accessible_update_property(GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_PROPERTY_LABEL, label, -1);
}

GtkWidget* Row(const char* title, const char* subtitle) {
  GtkWidget* row = adw_action_row_new();
  adw_preferences_row_set_title(ADW_PREFERENCES_ROW(row), title);
  if (subtitle != nullptr) adw_action_row_set_subtitle(ADW_ACTION_ROW(row), subtitle);
  return row;
}

GtkWidget* Suffix(GtkWidget* row, GtkWidget* control, const char* name) {
  gtk_widget_set_valign(control, GTK_ALIGN_CENTER);
  adw_action_row_add_suffix(ADW_ACTION_ROW(row), control);
  // A row's switch is named by the row's title; others need a name of their own.
  if (name != nullptr) Name(control, name);
  return control;
}

GtkWidget* MinuteSpin() {
  GtkWidget* spin = gtk_spin_button_new_with_range(1, 120, 1);
  gtk_spin_button_set_numeric(GTK_SPIN_BUTTON(spin), TRUE);
  return spin;
}

int Minutes(idle::Millis time) { return static_cast<int>((time.count() + 59'999) / 60'000); }

GtkWidget* Group(GtkWidget* page, const char* title) {
  GtkWidget* group = adw_preferences_group_new();
  if (title != nullptr) adw_preferences_group_set_title(ADW_PREFERENCES_GROUP(group), title);
  adw_preferences_page_add(ADW_PREFERENCES_PAGE(page), ADW_PREFERENCES_GROUP(group));
  return group;
}

void Add(GtkWidget* group, GtkWidget* child) {
  adw_preferences_group_add(ADW_PREFERENCES_GROUP(group), child);
}

// Everything the window keeps; it lives as long as the window.
struct Window {
  GtkWidget* window = nullptr;
  GtkWidget* problems = nullptr;  // what is wrong with idle.conf, or with writing it
  GtkWidget* problemsGroup = nullptr;
  GtkWidget* onSwitch = nullptr;
  GtkWidget* status = nullptr;  // the status row
  GtkWidget* note = nullptr;    // who else starts the runner
  GtkWidget* afterSpin = nullptr;
  GtkWidget* afterRow = nullptr;
  GtkWidget* gnomeRow = nullptr;
  GtkWidget* gnomeButton = nullptr;
  GtkWidget* lockSwitch = nullptr;
  GtkWidget* lockSpin = nullptr;
  GtkWidget* lockRow = nullptr;
  GtkWidget* commandEntry = nullptr;

  IdleFile file;
  std::string writeProblem;
  std::string reloadProblem;
  bool loading = true;      // widgets being filled from the file: nothing is written
  bool wasPresent = false;  // the runner's name had an owner at the last change
  std::unique_ptr<RunnerStatus> runner;
  std::unique_ptr<GnomeDelay> gnome;

  void ShowProblems() {
    std::string text;
    const auto add = [&](const std::string& line) { text += (text.empty() ? "" : "\n") + line; };
    if (!file.readError.empty()) add(file.path + ": " + file.readError);
    if (!file.problems.empty())
      add(Printf(_("%s has lines the screen saver does not understand; they are ignored:"),
                 file.path.c_str()));
    for (const std::string& p : file.problems) add(p);
    if (!writeProblem.empty()) add(Printf(_("Could not save: %s"), writeProblem.c_str()));
    if (!reloadProblem.empty())
      add(Printf(_("The running screen saver refused the settings: %s"), reloadProblem.c_str()));
    gtk_label_set_text(GTK_LABEL(problems), text.c_str());
    gtk_widget_set_visible(problemsGroup, !text.empty());
  }

  // What quelvo-idle takes: the running one says; else its default time moves before
  // GNOME's blank delay.
  idle::Settings Effective() const {
    idle::Settings values = file.values;
    const RunnerState& state = runner->State();
    if (!values.afterChosen && state.present && state.afterMs > 0)
      values.after = idle::Millis(state.afterMs);
    else
      idle::FitGnomeDelay(values, std::chrono::seconds(gnome->Seconds()));
    return values;
  }

  void Fill() {
    loading = true;
    const idle::Settings v = Effective();
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(afterSpin), Minutes(v.after));
    gtk_switch_set_active(GTK_SWITCH(lockSwitch), v.lockAfter.has_value());
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(lockSpin), v.lockAfter ? Minutes(*v.lockAfter) : 10);
    gtk_widget_set_sensitive(lockRow, v.lockAfter.has_value());
    gtk_editable_set_text(GTK_EDITABLE(commandEntry), v.lockCommand.c_str());
    loading = false;
    ShowProblems();
    ShowGnomeHint();
  }

  // One value changed by the user: into the file at once, then the runner reads it.
  void Set(const char* key, const std::string& value) {
    if (loading) return;
    // The file as it is now, so that an edit made elsewhere meanwhile is kept.
    const IdleFile now = ReadIdleFile(file.path);
    if (!now.readError.empty()) {
      // Writing over a file that could not be read would lose what it holds.
      file.readError = now.readError;
      writeProblem = _("the file is left as it is");
    } else {
      const std::string text = WithValue(now.text, key, value, now.badLines);
      writeProblem = WriteIdleFile(file.path, text);
      if (writeProblem.empty()) file = ParseIdleText(text, file.path);
    }
    reloadProblem.clear();
    ShowProblems();
    ShowGnomeHint();
    if (!writeProblem.empty()) return;
    runner->Reload([this](std::string error) {
      reloadProblem = std::move(error);
      ShowProblems();
    });
  }

  void ShowGnomeHint() {
    const unsigned delay = gnome->Seconds();
    const long long after = Effective().after.count();
    const bool late = delay > 0 && after >= static_cast<long long>(delay) * 1000;
    gtk_widget_set_visible(gnomeRow, late);
    if (!late) return;
    const unsigned target = delay / 60 > 1 ? delay / 60 - 1 : 0;
    adw_preferences_row_set_title(
        ADW_PREFERENCES_ROW(gnomeRow),
        Printf(
            ngettext(
                "GNOME blanks the screen after %u minute idle, before the screen saver would start",
                "GNOME blanks the screen after %u minutes idle, before the screen saver would "
                "start",
                delay / 60),
            delay / 60)
            .c_str());
    gtk_widget_set_visible(gnomeButton, target > 0);
    gtk_button_set_label(
        GTK_BUTTON(gnomeButton),
        Printf(ngettext("Start after %u minute", "Start after %u minutes", target), target)
            .c_str());
    g_object_set_data(G_OBJECT(gnomeButton), "minutes", GUINT_TO_POINTER(target));
  }

  void ShowRunner() {
    const RunnerState& state = runner->State();
    const std::string line = StatusLine(state);
    adw_action_row_set_subtitle(ADW_ACTION_ROW(status), line.c_str());
    // The status row takes no focus: the switch carries it for a screen reader.
    gtk_accessible_update_property(GTK_ACCESSIBLE(onSwitch), GTK_ACCESSIBLE_PROPERTY_DESCRIPTION,
                                   line.c_str(), -1);
    loading = true;
    gtk_switch_set_active(GTK_SWITCH(onSwitch), state.present || AutostartOn());
    loading = false;
    // The owner is asked once per appearance, not on every change of its properties.
    if (state.present == wasPresent) return;
    wasPresent = state.present;
    Fill();
    if (state.present && !AutostartOn()) {
      const std::string by = StartedBy(runner->OwnerPid());
      ShowNote(Printf(_("The screen saver was started by %s, not by this window; it may start "
                        "again with the next session whatever this switch says."),
                      by.empty() ? _("another program") : by.c_str()));
    }
  }

  void ShowNote(const std::string& text) {
    adw_action_row_set_subtitle(ADW_ACTION_ROW(note), text.c_str());
    gtk_widget_set_visible(note, !text.empty());
  }

  // A runner this window started that fails says so, rather than the switch staying on
  // over a status of "Off". The window may be gone by then.
  Ended RunnerEnded() {
    auto* ref = g_new0(GWeakRef, 1);
    g_weak_ref_init(ref, window);
    return [ref](int status) {
      GObject* alive = G_OBJECT(g_weak_ref_get(ref));
      g_weak_ref_clear(ref), g_free(ref);
      if (alive == nullptr) return;
      auto* w = static_cast<Window*>(g_object_get_data(alive, "quelvo-settings"));
      if (status == 2)
        w->ShowNote(
            _("quelvo-idle did not start: its settings have a line it does not "
              "understand (named above)."));
      else if (status > 0)  // not our own SIGTERM
        w->ShowNote(Printf(_("quelvo-idle ended at once with status %d: it found no idle "
                             "source in this session, or no session bus."),
                           status));
      g_object_unref(alive);
    };
  }

  void Toggle(bool on) {
    if (loading) return;
    std::string error;
    ShowNote({});
    if (on) {
      error = TurnOn(FindProgram("quelvo-idle"), runner->State().present, RunnerEnded());
    } else {
      const unsigned pid = runner->OwnerPid();
      const bool ours = AutostartOn();
      const std::string by = pid > 0 && !ours ? StartedBy(pid) : std::string();
      error = TurnOff(pid);
      const bool unit = by.ends_with(".service");
      if (unit)
        ShowNote(Printf(_("Stopped for now. The systemd user unit %s starts it with every "
                          "session; \"systemctl --user disable %s\" keeps it off."),
                        by.c_str(), by.c_str()));
      else if (!by.empty())
        ShowNote(Printf(_("Stopped for now. It was started by %s, which may start it again "
                          "with the next session: turn it off there too."),
                        by.c_str()));
    }
    if (!error.empty())
      ShowNote(Printf(on ? _("Could not turn it on: %s") : _("Could not turn it off: %s"),
                      error.c_str()));
  }
};

GtkWidget* Build(Window& w) {
  GtkWidget* page = adw_preferences_page_new();

  w.problemsGroup = Group(page, nullptr);
  w.problems = gtk_label_new("");
  gtk_label_set_wrap(GTK_LABEL(w.problems), TRUE);
  gtk_label_set_xalign(GTK_LABEL(w.problems), 0);
  gtk_widget_add_css_class(w.problems, "error");
  Add(w.problemsGroup, w.problems);

  GtkWidget* preview = Group(page, _("Preview"));
  GtkWidget* tryIt = gtk_button_new_with_label(_("Try It"));
  adw_preferences_group_set_header_suffix(ADW_PREFERENCES_GROUP(preview), tryIt);
  Add(preview, NewPreviewArea());
  g_signal_connect(tryIt, "clicked", G_CALLBACK(+[](GtkButton*, Window* w) {
                     const std::string error = StartDetached({FindProgram("quelvo"), "/s"});
                     if (!error.empty()) w->ShowNote(error);
                   }),
                   &w);

  GtkWidget* idle = Group(page, nullptr);
  GtkWidget* onRow = Row(_("Start the screen saver when the computer is idle"), nullptr);
  w.onSwitch = Suffix(onRow, gtk_switch_new(), nullptr);
  adw_action_row_set_activatable_widget(ADW_ACTION_ROW(onRow), w.onSwitch);
  Add(idle, onRow);
  w.status = Row(_("Status"), _("Off"));
  gtk_widget_set_focusable(w.status, FALSE);
  Add(idle, w.status);
  w.note = Row(_("Note"), nullptr);
  gtk_widget_set_visible(w.note, FALSE);
  Add(idle, w.note);

  GtkWidget* times = Group(page, _("Times"));
  w.afterRow = Row(_("Start after"), _("Minutes without input"));
  w.afterSpin = Suffix(w.afterRow, MinuteSpin(), _("Start after, in minutes"));
  Add(times, w.afterRow);
  w.gnomeRow = Row("", nullptr);
  gtk_widget_add_css_class(w.gnomeRow, "warning");
  w.gnomeButton = Suffix(w.gnomeRow, gtk_button_new_with_label(""), nullptr);
  Add(times, w.gnomeRow);

  GtkWidget* lockOn = Row(_("Lock the screen"), _("After the screen saver has run a while"));
  w.lockSwitch = Suffix(lockOn, gtk_switch_new(), nullptr);
  adw_action_row_set_activatable_widget(ADW_ACTION_ROW(lockOn), w.lockSwitch);
  Add(times, lockOn);
  w.lockRow = Row(_("Lock after"), _("Minutes after the screen saver starts"));
  w.lockSpin = Suffix(w.lockRow, MinuteSpin(), _("Lock after, in minutes"));
  Add(times, w.lockRow);

  GtkWidget* advanced = adw_expander_row_new();
  adw_preferences_row_set_title(ADW_PREFERENCES_ROW(advanced), _("Lock command"));
  adw_expander_row_set_subtitle(ADW_EXPANDER_ROW(advanced), _("For a locker of your own"));
  w.commandEntry = adw_entry_row_new();
  adw_preferences_row_set_title(ADW_PREFERENCES_ROW(w.commandEntry), _("Lock command"));
  adw_entry_row_set_show_apply_button(ADW_ENTRY_ROW(w.commandEntry), TRUE);
  adw_expander_row_add_row(ADW_EXPANDER_ROW(advanced), w.commandEntry);
  Add(times, advanced);

  g_signal_connect(w.onSwitch, "notify::active",
                   G_CALLBACK(+[](GtkSwitch* s, GParamSpec*, Window* w) {
                     w->Toggle(gtk_switch_get_active(s));
                   }),
                   &w);
  g_signal_connect(w.afterSpin, "value-changed", G_CALLBACK(+[](GtkSpinButton* s, Window* w) {
                     w->Set("after", std::to_string(gtk_spin_button_get_value_as_int(s)) + "m");
                   }),
                   &w);
  g_signal_connect(w.gnomeButton, "clicked", G_CALLBACK(+[](GtkButton* b, Window* w) {
                     const auto m = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(b), "minutes"));
                     gtk_spin_button_set_value(GTK_SPIN_BUTTON(w->afterSpin), m);
                   }),
                   &w);
  g_signal_connect(w.lockSwitch, "notify::active",
                   G_CALLBACK(+[](GtkSwitch* s, GParamSpec*, Window* w) {
                     const bool on = gtk_switch_get_active(s);
                     gtk_widget_set_sensitive(w->lockRow, on);
                     const int m = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(w->lockSpin));
                     w->Set("lock-after", on ? std::to_string(m) + "m" : "off");
                   }),
                   &w);
  g_signal_connect(w.lockSpin, "value-changed", G_CALLBACK(+[](GtkSpinButton* s, Window* w) {
                     w->Set("lock-after",
                            std::to_string(gtk_spin_button_get_value_as_int(s)) + "m");
                   }),
                   &w);
  g_signal_connect(w.commandEntry, "apply", G_CALLBACK(+[](AdwEntryRow* e, Window* w) {
                     const std::string command = gtk_editable_get_text(GTK_EDITABLE(e));
                     if (!command.empty()) w->Set("lock-command", command);
                   }),
                   &w);
  return page;
}

}  // namespace

GtkWindow* NewSettingsWindow(AdwApplication* app) {
  auto* w = new Window;
  w->window = adw_application_window_new(GTK_APPLICATION(app));
  g_object_set_data_full(G_OBJECT(w->window), "quelvo-settings", w,
                         [](gpointer p) { delete static_cast<Window*>(p); });
  gtk_window_set_title(GTK_WINDOW(w->window), _("Screen Saver"));
  gtk_window_set_default_size(GTK_WINDOW(w->window), 640, 760);
  gtk_widget_set_size_request(w->window, 360, 200);

  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_box_append(GTK_BOX(box), adw_header_bar_new());
  GtkWidget* page = Build(*w);
  gtk_widget_set_vexpand(page, TRUE);
  gtk_box_append(GTK_BOX(box), page);
  adw_application_window_set_content(ADW_APPLICATION_WINDOW(w->window), box);

  w->file = ReadIdleFile(idle::DefaultConfigPath());
  w->gnome = std::make_unique<GnomeDelay>([w] { w->Fill(); });
  w->runner = std::make_unique<RunnerStatus>([w] { w->ShowRunner(); });
  w->Fill();
  w->ShowRunner();
  return GTK_WINDOW(w->window);
}

}  // namespace settings
