#pragma once

namespace pinlet {

// Installs into the running application Pinlet's translation, and Qt's own where the system has
// it, for the first of the user's languages (QLocale().uiLanguages()) that Pinlet has; English is
// the texts themselves. The shortcut library picks among its string tables from the same list in
// the same way, so both speak the same language.
void installTranslations();

} // namespace pinlet
