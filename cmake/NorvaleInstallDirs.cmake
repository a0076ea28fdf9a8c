# Where an installed Norvale lives, below CMAKE_INSTALL_PREFIX (/usr for the
# Debian package):
#   lib/norvale/           the application folder: norvale, norvale-check and
#                          ide/, a link to share/norvale/ide
#   share/norvale/ide/     the text catalogues and help pages
#   bin/                   links to the two programs, which find their folder
#                          through the link (applicationDirPath resolves it)
# plus the desktop entry, icons, AppStream metadata, manual pages, shell
# completion and documents in their usual places below share/.
include(GNUInstallDirs)
set(NORVALE_INSTALL_APP_DIR "lib/norvale" CACHE STRING
    "The application folder, relative to the installation prefix")
set(NORVALE_INSTALL_IDE_DIR "${CMAKE_INSTALL_DATADIR}/norvale/ide" CACHE STRING
    "The shipped catalogues and help pages, relative to the installation prefix")
# The AppStream component id, which names the metadata file.
set(NORVALE_METAINFO_ID "app.norvale.norvale")
# The files of ide/ the program ships with: copied beside the programs in the
# build tree (src/app) and installed to NORVALE_INSTALL_IDE_DIR.
set(NORVALE_SHIPPED_IDE_FILES ide.txt ide.it.txt help.htm help.it.htm guide.txt guide.it.txt)
