[<!-- BEGIN box -->box:{v}<!-- BEGIN item* -->({v})<!-- END item* --><!-- END box -->]
