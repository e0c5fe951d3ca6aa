checkupdates ccc2ddd
