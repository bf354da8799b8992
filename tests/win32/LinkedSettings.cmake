# Makes a settings folder whose Lupenta.ini is a symbolic link of the host's file system:
# Wine cannot make one itself. FOLDER is given with -D.
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER}/real)
file(WRITE ${FOLDER}/real/settings.ini "")
file(CREATE_LINK real/settings.ini ${FOLDER}/Lupenta.ini SYMBOLIC)
