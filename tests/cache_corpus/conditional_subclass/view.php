<?php
if ($use_rich) {
    class View extends Rich {
        function show($s) { return $this->open() . $s . " via " . $this->name(); }
    }
} else {
    class View extends Plain {
        var $tag = "span";
        function show($s) { return $this->open() . $s . " via " . $this->name() . "/" . parent::name(); }
    }
}
