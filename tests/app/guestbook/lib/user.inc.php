<?php
/*
 * Members: who may write. Members are kept in users.dat as an array of
 * User objects under their lower-case names.
 */
class User
{
    var $name;
    var $email;
    var $password;  // md5 of the salt and the password
    var $joined;
    var $posts = 0;
    var $admin = false;

    function User($name, $email, $joined)
    {
        $this->name = $name;
        $this->email = $email;
        $this->joined = $joined;
    }

    function setPassword($password)
    {
        $this->password = md5(GB_PASSWORD_SALT . $password);
    }

    function checkPassword($password)
    {
        return $this->password == md5(GB_PASSWORD_SALT . $password);
    }
}

class UserList
{
    var $store;
    var $users;

    function UserList($path)
    {
        $this->store = new FileStore($path, array());
        $this->users = $this->store->load();
    }

    /* The member of that name (any case), or null. */
    function &find($name)
    {
        $none = null;
        $key = strtolower($name);
        if (!isset($this->users[$key])) {
            return $none;
        }
        return $this->users[$key];
    }

    /* Adds a member; false when the name is taken. The first member runs the guestbook. */
    function add($user)
    {
        $this->users = $this->store->lock();
        $key = strtolower($user->name);
        if (isset($this->users[$key])) {
            $this->store->commit($this->users);
            return false;
        }
        $user->admin = count($this->users) == 0;
        $this->users[$key] = $user;
        $this->store->commit($this->users);
        return true;
    }

    function countPost($name)
    {
        $this->users = $this->store->lock();
        $key = strtolower($name);
        if (isset($this->users[$key])) {
            $this->users[$key]->posts++;
        }
        $this->store->commit($this->users);
    }

    function count()
    {
        return count($this->users);
    }
}
?>
