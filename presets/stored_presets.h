// Moving records between the program store and their outside forms: the
// record readers and writers, and the defaults, memories and last-used paths
// in the settings store. They need the effect only; the preset strip, when it
// exists, follows through a view.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CPresetSystemEffect;

namespace presets {

// What the readers show in the preset strip; null while no strip exists.
class PresetStripView {
 public:
  virtual ~PresetStripView() = default;
  virtual void showProgramName(const char* name) = 0;
  // Makes that menu entry current and gives it a title.
  virtual void setMenuEntry(int entry, const char* title) = 0;
  virtual void selectMenuEntry(int entry) = 0;
  virtual void setCurrentMenuEntryTitle(const char* title) = 0;
};

// Value names of the preset system's settings.
inline constexpr const char* kDefaultPresetValue = "DefaultPreset";
inline constexpr const char* kDefaultBankValue = "DefaultBank";
inline constexpr const char* kMemoAValue = "MemoA";
inline constexpr const char* kMemoBValue = "MemoB";
inline constexpr const char* kCurrDirValue = "CurrDir";
inline constexpr const char* kCurrBankValue = "CurrBank";
inline constexpr const char* kCurrPresetValue = "CurrPreset";

// Readers take buffers of exactly the record's size. A record of another
// product or type changes nothing.
void readBank(CPresetSystemEffect& effect, const std::uint8_t* record, bool endianReversed,
              PresetStripView* view);
void readPreset(CPresetSystemEffect& effect, const std::uint8_t* record, bool endianReversed,
                PresetStripView* view);
void readSettings(CPresetSystemEffect& effect, const std::uint8_t* record, bool endianReversed);
// Writers fill zero-filled buffers of the record's size in native order.
void writeBank(CPresetSystemEffect& effect, std::uint8_t* record);
void writePreset(CPresetSystemEffect& effect, std::uint8_t* record);
void writeSettings(CPresetSystemEffect& effect, std::uint8_t* record);

// A record value in the settings store under the product's stem, zero-filled
// when missing or of another size or type (which no reader accepts).
std::vector<std::uint8_t> loadRecord(CPresetSystemEffect& effect, const char* valueName, std::size_t size);
void storeRecord(CPresetSystemEffect& effect, const char* valueName, const std::vector<std::uint8_t>& record);

void deleteValue(CPresetSystemEffect& effect, const char* valueName);
// A missing value, or one of another size or type, leaves the programs alone.
void loadPresetValue(CPresetSystemEffect& effect, const char* valueName, PresetStripView* view);
void loadBankValue(CPresetSystemEffect& effect, const char* valueName, PresetStripView* view);

inline void loadDefaultBank(CPresetSystemEffect& effect, PresetStripView* view) {
  loadBankValue(effect, kDefaultBankValue, view);
}
inline void loadDefaultPreset(CPresetSystemEffect& effect, PresetStripView* view) {
  loadPresetValue(effect, kDefaultPresetValue, view);
}

struct RecentPaths {
  std::string directory;
  std::string bankFileName;
  std::string presetFileName;
};

void saveCurrentPaths(const char* settingsStem, const RecentPaths& paths);
// Every path that is not stored comes back empty.
RecentPaths loadCurrentPaths(const char* settingsStem);

}  // namespace presets
