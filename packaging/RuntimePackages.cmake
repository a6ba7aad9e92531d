# The Debian packages the programs need at run time without linking them, so
# that dpkg-shlibdeps cannot find them. Each is named here only.
#
# Found by dpkg-shlibdeps already, through the libraries the program links:
# the SVG image and icon plugins (libqt6svg6), the multimedia backends
# (libqt6multimedia6; Qt 6.4 plays through GStreamer), the X11 platform
# plugin with the GIF and JPEG plugins (libqt6gui6) and the TLS backend
# (libqt6network6, which depends on libssl3). qt6-qpa-plugins holds only the
# VNC platform, which the program does not use.

set(NIMBULON_PROGRAM_RUNTIME_PACKAGES
    # QSQLITE: the weather tables live in an in-memory SQLite database
    libqt6sql6-sqlite
    # The trust roots for the https fetches (ARSO's open data, the servers)
    ca-certificates
    # decodebin and uridecodebin, type finding and videoconvert, which the Qt
    # GStreamer backend builds its pipeline from
    gstreamer1.0-plugins-base
    # mpegpsdemux and mpegvideoparse: the weather videos are MPEG-1 video in
    # MPEG program streams
    gstreamer1.0-plugins-bad
    # avdec_mpeg2video, which decodes MPEG-1 video too
    gstreamer1.0-libav
    # A narrow face for the tray temperature and the moon dates: Nimbus Sans
    # Narrow is asked for first, DejaVu Sans Condensed is the smaller choice
    "fonts-urw-base35 | fonts-dejavu-extra")

# The Wayland platform plugin: without it Qt runs the program as an X11 client
# through XWayland.
set(NIMBULON_PROGRAM_SUGGESTED_PACKAGES qt6-wayland)

set(NIMBULON_SERVER_RUNTIME_PACKAGES
    # QSQLITE: the feed builder fills the chart database through Qt SQL
    libqt6sql6-sqlite
    # The trust roots for fetching ARSO's open data over https
    ca-certificates
    # Serves the deployment and runs the chart server (the site is nginx's)
    "nginx | httpd"
    # Runs the chart server, a CGI program, for nginx at /run/fcgiwrap.socket
    fcgiwrap
    # The postinst makes the system user the feed builder runs as
    adduser)
