--TEST--
Without -n or -z the php_brisko.so beside brisko-php is loaded; phpinfo shows every module
--FILE--
<?php
phpinfo();
--EXPECTF--
phpinfo()
PHP Version => 4.3.11
%A
standard
%A
PHP Brisko
%A
PHP Brisko Version => 1.02
